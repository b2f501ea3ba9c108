// Where a test holds a run in the middle of its work, so that a Stop, an Esc or a Ctrl+C is
// sure to come while files are still being walked or deleted, however fast or loaded the
// machine. Nothing holds a run unless the environment asks for it:
//   KELVARO_TEST_GATE=<scan|delete>:<N>:<name>[;<scan|delete>:<N>:<name>]...
// A run of that kind (the last gate named for it counts) then stops before its item N (a file looked at by the walk, a file
// deleted), tells the test by signalling the event "<name>-held", and goes on once the test
// signals the event "<name>", or once the run is stopped.
#pragma once

#include <atomic>
#include <cstdint>

#include "../framework/CString.h"

class CTestGate {
public:
    enum class Kind { Scan, Delete };
    // The gate that the environment asks for runs of this kind; closed over nothing if none.
    explicit CTestGate(Kind kind);
    ~CTestGate();
    CTestGate(const CTestGate&) = delete;
    CTestGate& operator=(const CTestGate&) = delete;

    // Before item number done (counted from 0): waits there while the gate is closed, until
    // it opens or stop holds; first calls tell(), which hands the owner the news so far, as a
    // pause does.
    template <class Tell>
    void Pass(uint64_t done, const std::atomic<bool>& stop, Tell tell)
    {
        if (m_nAt && done >= m_nAt && !m_bOpen.load()) {
            tell();
            Wait(stop);
        }
    }

private:
    void Wait(const std::atomic<bool>& stop);

    uint64_t m_nAt = 0;  // 0: no gate
    HANDLE m_hOpen = nullptr;
    HANDLE m_hHeld = nullptr;
    std::atomic<bool> m_bOpen{false};
};
