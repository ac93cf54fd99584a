#include "bench/BenchCommon.h"

#include <psapi.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace volane::bench {

bool WriteReport(const std::wstring& file, const ChildReport& report) {
    std::ofstream out(file.c_str(), std::ios::binary | std::ios::trunc);
    out.precision(6);
    out << std::fixed;
    out << "total_ms " << report.totalMs << "\n"
        << "enum_ms " << report.enumMs << "\n"
        << "insert_ms " << report.insertMs << "\n"
        << "count " << report.count << "\n"
        << "base_bytes " << report.baseBytes << "\n"
        << "peak_bytes " << report.peakBytes << "\n";
    for (const auto& [name, ms] : report.phases) out << "phase " << ms << " " << name << "\n";
    if (!report.error.empty()) out << "error " << Utf8(report.error) << "\n";
    out << "end\n";
    out.flush();
    return static_cast<bool>(out);
}

std::optional<ChildReport> ReadReport(const std::wstring& file) {
    std::ifstream in(file.c_str(), std::ios::binary);
    if (!in) return std::nullopt;
    ChildReport report;
    bool complete = false;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name;
        fields >> name;
        if (name == "error") {
            std::string rest;
            std::getline(fields >> std::ws, rest);
            report.error = FromUtf8(rest);
        } else if (name == "phase") {
            double ms = 0;
            std::string phase;
            fields >> ms;
            std::getline(fields >> std::ws, phase);
            report.phases.emplace_back(phase, ms);
        } else if (name == "total_ms") {
            fields >> report.totalMs;
        } else if (name == "enum_ms") {
            fields >> report.enumMs;
        } else if (name == "insert_ms") {
            fields >> report.insertMs;
        } else if (name == "count") {
            fields >> report.count;
        } else if (name == "base_bytes") {
            fields >> report.baseBytes;
        } else if (name == "peak_bytes") {
            fields >> report.peakBytes;
        } else if (name == "end") {
            complete = true;  // the last line a finished write holds
        }
    }
    if (!complete && report.error.empty()) return std::nullopt;
    return report;
}

Stopwatch::Stopwatch() {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    ticksPerMs_ = static_cast<double>(frequency.QuadPart) / 1000.0;
    ::QueryPerformanceCounter(&start_);
}

double Stopwatch::ElapsedMs() const {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start_.QuadPart) / ticksPerMs_;
}

MemoryCounters ProcessMemory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters))) return {};
    return {counters.WorkingSetSize, counters.PeakWorkingSetSize};
}

double SinceProcessCreation() {
    FILETIME created, exited, kernel, user, now;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    ::GetSystemTimePreciseAsFileTime(&now);
    const auto ticks = [](FILETIME t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;  // 100 ns units
}

void PumpPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

std::wstring ExeFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\'));
}

std::string Utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(std::string_view text) {
    if (text.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

}  // namespace volane::bench
