// The registry that disables every dialog during a long operation and enables them after.
#include <gtest/gtest.h>

#include <vector>

#include "dialogs/dialogregistry.h"
#include "support/recordingdialog.h"

namespace vela {
namespace {

using test::RecordingDialog;

TEST(DialogRegistry, EnableAllSkipsDestroyedWindowsAndReenablesEveryone) {
    DialogRegistry registry;
    RecordingDialog main, comm, destroyed, twice;
    comm.enabled = false;  // disabled by the operator's own doing
    destroyed.hasWindow = false;
    for (RecordingDialog* d : {&main, &comm, &destroyed, &twice, &twice}) registry.Register(d);
    registry.EnableAll(0);
    EXPECT_FALSE(main.enabled);
    EXPECT_TRUE(destroyed.calls.empty());
    EXPECT_EQ(twice.calls.size(), 2u);
    registry.EnableAll(1);
    EXPECT_TRUE(main.enabled);
    EXPECT_TRUE(comm.enabled);
    EXPECT_TRUE(destroyed.enabled);
    EXPECT_TRUE(destroyed.calls.empty());
    registry.Unregister(&twice);
    EXPECT_EQ(registry.Count(), 3u);
    registry.EnableAll(0);
    EXPECT_EQ(twice.calls.size(), 4u);
}

TEST(DialogRegistry, ALongOperationDisablesUntilItEndsAndNoneStartsInsideIt) {
    DialogRegistry registry;
    RecordingDialog dialog;
    registry.Register(&dialog);
    {
        const LongOperation outer(registry);
        EXPECT_TRUE(outer.Started());
        EXPECT_TRUE(registry.Busy());
        {
            const LongOperation inner(registry);
            EXPECT_FALSE(inner.Started());
        }
        // The refused one's end enables nothing.
        EXPECT_EQ(dialog.calls, std::vector<bool>{false});
    }
    EXPECT_EQ(dialog.calls, (std::vector<bool>{false, true}));
    EXPECT_FALSE(registry.Busy());
    EXPECT_TRUE(LongOperation(registry).Started());
}

TEST(DialogRegistry, ProcessWideInstances) {
    EXPECT_EQ(&DialogRegistry::Instance(), &DialogRegistry::Instance());
}

}  // namespace
}  // namespace vela
