// The recovery copy of an 8K document with 99 markers: what the window's thread spends handing
// a write to the worker (the marker lines and a shared handle of the image), and the whole
// background write (each step a whole write, hence few iterations), beside a memcpy of the image's
// bytes (BM_Memcpy_8k_24).
#include "BenchApplication.h"
#include "Ratios.h"
#include "RecoveryKeeper.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

// `handOffOnly`: the time of the window's thread alone; otherwise until the copy is on the disk.
void runRecovery(benchmark::State& state, bool handOffOnly) {
    QTemporaryDir folder;
    Document::Session session;
    Bench::openEightKDocument(session);
    Document::RecoveryKeeper keeper(session, folder.path(), std::chrono::hours(1));

    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        keeper.WriteNow();
        if (!handOffOnly)
            keeper.WaitForIdle();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        keeper.WaitForIdle();
    }
    if (keeper.WritesDone() == 0 || !keeper.LastError().isEmpty())
        state.SkipWithError("no recovery copy written");
}

void BM_RecoveryHandOff_8k_99(benchmark::State& state) {
    runRecovery(state, true);
}
BENCHMARK(BM_RecoveryHandOff_8k_99)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RecoveryWrite_8k_99(benchmark::State& state) {
    runRecovery(state, false);
}
BENCHMARK(BM_RecoveryWrite_8k_99)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

PICTANOTE_RATIO("recovery_handoff_8k_99", "BM_RecoveryHandOff_8k_99/iterations:5/manual_time",
                "BM_Memcpy_8k_24");
PICTANOTE_RATIO("recovery_write_8k_99", "BM_RecoveryWrite_8k_99/iterations:5/manual_time",
                "BM_Memcpy_8k_24");

}  // namespace
