#include "support/clsimfixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/runprogram.h"

namespace fs = std::filesystem;

namespace vela::test {

void ClSimTest::SetUp() {
    // dlopen reads LD_LIBRARY_PATH only at process start: CTest must have set it.
    const char* path = std::getenv("LD_LIBRARY_PATH");
    ASSERT_TRUE(path && std::string(path).find(BuiltPath("lib")) != std::string::npos)
        << "LD_LIBRARY_PATH must name " << BuiltPath("lib") << " when the test starts";
    for (const char* name : {"VELA_CLSIM_PORTS", "VELA_CLSIM_MANUFACTURERS", "VELA_CLSIM_PORT_IDS",
                             "VELA_CLSIM_COUNT", "VELA_CLSIM_BAUD_MASK", "VELA_CLSIM_OMIT", "VELA_CLSIM_FAIL",
                             "VELA_CLSIM_LONG_NAMES", "VELA_CLSIM_OVERREPORT", "VELA_CLSIM_INDEX_REFS",
                             "VELA_CLSIM_MODEL", "VELA_CLSIM_CAMERA_BAUD", "VELA_CLSIM_PACED"})
        ::unsetenv(name);
    std::string tmpl = (fs::temp_directory_path() / "vela-cl-XXXXXX").string();
    ASSERT_TRUE(::mkdtemp(tmpl.data()));
    m_root = tmpl;
    m_systemDir = m_root + "/system";
    fs::create_directories(m_systemDir);
    m_tracePath = m_root + "/trace.txt";
    ::setenv("VELA_CLSIM_TRACE", m_tracePath.c_str(), 1);
    ::setenv("CLSERIAL_SYSTEM_DIR", m_systemDir.c_str(), 1);
}

void ClSimTest::TearDown() {
    ::unsetenv("VELA_CLSIM_TRACE");
    std::error_code ec;
    if (!m_root.empty()) fs::remove_all(m_root, ec);
}

void ClSimTest::InstallClser(const std::string& fileName) {
    fs::copy_file(BuiltPath("lib/libclsersim.so"), m_systemDir + "/" + fileName,
                  fs::copy_options::overwrite_existing);
}

void ClSimTest::InstallTwoBoards() {
    InstallClser("libclserA.so");
    InstallClser("libclserB.so");
    ::setenv("VELA_CLSIM_MANUFACTURERS", "Alpha,Beta", 1);
}

std::vector<std::string> ClSimTest::TakeTrace() {
    std::ifstream in(m_tracePath);
    std::vector<std::string> lines;
    std::string line;
    std::size_t index = 0;
    while (std::getline(in, line))
        if (index++ >= m_traceRead) lines.push_back(line);
    m_traceRead = index;
    return lines;
}

bool ClSimTest::Contains(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& line : lines)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

}  // namespace vela::test
