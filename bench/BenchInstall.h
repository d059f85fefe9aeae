#pragma once
// A temporary installation folder with a register of realistic cards (RealisticCards.h), for
// benchmarks.
#include <QString>
#include <QTemporaryDir>
#include <functional>

namespace zelm::bench {

class BenchInstall {
public:
    // `cards` cards in Baza/Anketi.dat, `attachments` records in Baza/SpisFil.dat. With
    // ZELM_BENCH_REGISTERS naming the folder make_register wrote registers into, the register
    // of that size there is linked instead.
    BenchInstall(int cards, int attachments = 0);
    QString root() const { return m_dir.path(); }
    // For a benchmark that writes cards in place: a linked register is replaced by a copy of
    // its own first, so the registers other benchmarks link stay as make_register wrote them.
    void ownRegister();

private:
    QTemporaryDir m_dir;
};

// Runs `cleanup` after the benchmarks, while the QApplication still exists.
void atBenchEnd(std::function<void()> cleanup);
void runBenchEndHooks();

// Peak resident memory of this process so far, in megabytes.
double peakMemoryMB();

} // namespace zelm::bench
