// Start-up benchmark: process start to shown window, for quenzel.exe and two baselines.
//
// Usage: startup_bench RUNS QUENZEL_EXE BARE_EXE [DEVICE_TEXT]
//
// Each run starts the program with CreateProcess, waits until its message loop first waits for
// input (WaitForInputIdle; all programs show and paint their window before they get there),
// then until its visible top-level window with the program's title exists, and stops the clock.
// It then posts WM_CLOSE (for quenzel.exe the close box, "Abbrechen": nothing is written) and
// waits for the program to end with exit code 0. The baselines are BARE_EXE, an empty window,
// and BARE_EXE /controls, the same window with quenzel.exe's controls but none of its work.
// The programs take turns, in every order in turn, after two unmeasured warm-up runs each, with a
// pause after each run. With DEVICE_TEXT, quenzel.exe must show a control with that text (the
// CD-ROM drive of the seeded device list), which shows that it read the settings before the clock
// stopped.
// Prints medians, quartiles and extremes; then quenzel.exe's ratio to the window with the same
// controls (what the program itself adds; the target) and both programs' ratios to the empty
// window, each three ways: of the medians, of the minima (the runs least disturbed by other
// load), and the median of the ratios within one round, in which a machine that slows down or
// speeds up over the run slows all alike.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPauseMilliseconds = 100;

struct Program {
    const char *label;
    std::string path;
    const char *arguments; // after the quoted path, or ""
    const char *title;
    std::string expectedText; // a child window that must show this text; empty for none
    std::vector<double> millis;
};

struct FindRequest {
    DWORD processId;
    const char *title;
    HWND found;
};

BOOL CALLBACK FindShownWindow(HWND window, LPARAM param) {
    auto *request = reinterpret_cast<FindRequest *>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != request->processId || !::IsWindowVisible(window))
        return TRUE;
    char title[64] = "";
    ::GetWindowTextA(window, title, sizeof title);
    if (std::string(title) != request->title)
        return TRUE;
    request->found = window;
    return FALSE;
}

struct TextRequest {
    const std::string *text;
    bool found;
};

BOOL CALLBACK FindChildText(HWND child, LPARAM param) {
    auto *request = reinterpret_cast<TextRequest *>(param);
    char text[256] = "";
    ::GetWindowTextA(child, text, sizeof text);
    if (*request->text == text) {
        request->found = true;
        return FALSE;
    }
    return TRUE;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// One start, measured; false (with a message) when the program did not behave.
bool RunOnce(Program &program, bool record) {
    LARGE_INTEGER frequency, start, shown;
    ::QueryPerformanceFrequency(&frequency);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + program.path + "\"" + program.arguments;

    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessA(program.path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "%s: CreateProcess failed (%lu)\n", program.label, ::GetLastError());
        return false;
    }
    ::WaitForInputIdle(process.hProcess, 30000);
    FindRequest request{process.dwProcessId, program.title, nullptr};
    for (int i = 0; i < 30000 && !request.found; ++i) {
        ::EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&request));
        if (!request.found)
            ::Sleep(1);
    }
    ::QueryPerformanceCounter(&shown);

    bool ok = request.found != nullptr;
    if (!ok)
        std::fprintf(stderr, "%s: no visible window titled \"%s\"\n", program.label, program.title);
    if (ok && !program.expectedText.empty()) {
        TextRequest text{&program.expectedText, false};
        ::EnumChildWindows(request.found, FindChildText, reinterpret_cast<LPARAM>(&text));
        if (!text.found) {
            std::fprintf(stderr, "%s: the window shows no \"%s\"\n", program.label,
                         program.expectedText.c_str());
            ok = false;
        }
    }
    if (request.found)
        ::PostMessageA(request.found, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "%s: did not end after WM_CLOSE\n", program.label);
        ::TerminateProcess(process.hProcess, 1);
        ok = false;
    }
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    if (ok && exitCode != 0) {
        std::fprintf(stderr, "%s: exit code %lu\n", program.label, exitCode);
        ok = false;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    if (ok && record)
        program.millis.push_back(Seconds(start, shown, frequency) * 1000.0);
    return ok;
}

// The value below which the given share of the sorted values lies, interpolated.
double Quantile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const double position = share * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(position);
    const std::size_t above = std::min(below + 1, values.size() - 1);
    const double weight = position - static_cast<double>(below);
    return values[below] * (1.0 - weight) + values[above] * weight;
}

double Minimum(const std::vector<double> &values) {
    return *std::min_element(values.begin(), values.end());
}

// The runs of both programs were recorded round by round, so equal indices share a round.
void PrintRatio(const Program &program, const Program &baseline, const char *target) {
    std::vector<double> perRound;
    for (std::size_t i = 0; i < program.millis.size(); ++i)
        perRound.push_back(program.millis[i] / baseline.millis[i]);
    const std::string label = std::string(program.label) + " / " + baseline.label;
    std::printf("  %-29s %8.3f %8.3f %9.3f%s\n", label.c_str(),
                Quantile(program.millis, 0.5) / Quantile(baseline.millis, 0.5),
                Minimum(program.millis) / Minimum(baseline.millis), Quantile(perRound, 0.5),
                target);
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: startup_bench RUNS QUENZEL_EXE BARE_EXE [DEVICE_TEXT]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    if (runs < 1)
        return 2;
    Program programs[] = {
        {"quenzel.exe", argv[2], "", "Quenzel", argc > 4 ? argv[4] : "", {}},
        {"empty window", argv[3], "", "Quenzel bare window", "", {}},
        {"with controls", argv[3], " /controls", "Quenzel bare controls", "", {}}};
    const int kPrograms = static_cast<int>(std::size(programs));

    for (int warmUp = 0; warmUp < 2; ++warmUp)
        for (Program &program : programs)
            if (!RunOnce(program, false))
                return 1;
    // Every order of the three in turn, so that each program follows each other one equally often;
    // and a pause after each, so that no start pays for the last program's end in the Wine server.
    constexpr int kOrders[][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < kPrograms; ++turn) {
            if (!RunOnce(programs[kOrders[run % std::size(kOrders)][turn]], true))
                return 1;
            ::Sleep(kPauseMilliseconds);
        }
    }

    std::printf("start-up, process start to shown window, %d runs each, interleaved\n", runs);
    std::printf("  %-13s %10s %10s %10s %10s %10s\n", "program", "median ms", "p25 ms", "p75 ms",
                "min ms", "max ms");
    for (const Program &program : programs)
        std::printf("  %-13s %10.2f %10.2f %10.2f %10.2f %10.2f\n", program.label,
                    Quantile(program.millis, 0.5), Quantile(program.millis, 0.25),
                    Quantile(program.millis, 0.75), Minimum(program.millis),
                    Quantile(program.millis, 1.0));
    const Program &quenzel = programs[0], &bare = programs[1], &controls = programs[2];
    std::printf("  %-29s %8s %8s %9s\n", "ratio", "medians", "minima", "per round");
    PrintRatio(quenzel, controls, "  (target: at most 1.03)");
    PrintRatio(quenzel, bare, "");
    PrintRatio(controls, bare, "");
    return 0;
}
