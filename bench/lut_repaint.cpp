// One pointer move over the LUT editor at 16 edit points (offscreen): the point follows
// the pointer and the graph repaints at once, the spline table included. Reports the
// median over the runs.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <cstdlib>

#include "dialogs/lutdlg.h"

namespace {

void BM_PointerMoveRepaint16(benchmark::State& state) {
    vela::CLUTDlg editor(1);
    editor.Create();
    editor.show();
    qobject_cast<QSpinBox*>(editor.FindControl(vela::CLUTDlg::kCountSpin))->setValue(16);
    editor.DrawCurve();
    qobject_cast<QPushButton*>(editor.FindControl(vela::CLUTDlg::kConvertButton))->click();
    QApplication::processEvents();
    if (editor.Points().Count() != 16) {
        state.SkipWithError("the editor did not take 16 points");
        return;
    }
    // The pointer goes up and down by a few pixels over the middle of the curve, so each
    // motion moves a point and the graph is drawn again.
    int step = 0;
    for (auto _ : state) {
        const QPointF at(vela::CLUTDlg::kPanelLeft + 119,
                         vela::CLUTDlg::kPanelTop + 137 + (step++ % 2 ? 6 : -6));
        QMouseEvent move(QEvent::MouseMove, at, editor.mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&editor, &move);
        editor.DrawCurve();
    }
    if (editor.Points().Count() != 16) state.SkipWithError("a motion added or removed a point");
}

}  // namespace

BENCHMARK(BM_PointerMoveRepaint16)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
