// Volane in the benchmark's child: the services and forms of Volane.exe, built and started by
// the same steps its Main takes, then either ExpandPath on a folder's node or a record of when
// each start-up step ended.
#include <windows.h>

#include "bench/Children.h"
#include "modules/mdlApp.h"
#include "modules/mdlTVDir.h"
#include "app/Application.h"

namespace volane::bench {

using app::Application;
using win32::TreeView;

int RunVolaneList(const std::wstring& folder, ChildReport& report) {
    Application app;
    app.LoadMainForm();
    app.LoadSourceForm();
    app.InitImages();
    app.ShowMainForm();
    app.LoadDrives();
    TreeView& tv1 = app.main.Tree();
    // The folder's own node, as a double-click would find it.
    if (!tv1.Add({}, folder, LastComponent(folder), GetImageIndex(L"folder"))) {
        report.error = L"cannot add the folder's node";
        return 1;
    }
    PumpPending();
    report.baseBytes = ProcessMemory().workingSet;

    ListingServices listing{app.fs, app.process, app.profile, app.ui, tv1};
    const Stopwatch clock;
    ExpandPath(folder, listing);
    ::UpdateWindow(tv1.Window());
    report.totalMs = clock.ElapsedMs();

    report.peakBytes = ProcessMemory().peakWorkingSet;
    report.count = tv1.Children(folder);
    app.main.Unload();
    return 0;
}

int RunVolaneStartSteps(ChildReport& report) {
    report.phases.emplace_back("entry", SinceProcessCreation());
    Application app;
    // Main's first question; the answer is not used here, the benchmark runs one at a time.
    app.process.AnotherInstanceRunning();
    report.phases.emplace_back("services", SinceProcessCreation());
    app.LoadMainForm();
    report.phases.emplace_back("frmMain loaded", SinceProcessCreation());
    app.LoadSourceForm();
    report.phases.emplace_back("frmSource loaded", SinceProcessCreation());
    app.InitImages();
    report.phases.emplace_back("icon table filled", SinceProcessCreation());
    app.ShowMainForm();
    report.phases.emplace_back("frmMain shown", SinceProcessCreation());
    app.LoadDrives();
    report.phases.emplace_back("drive roots added", SinceProcessCreation());
    PumpPending();
    report.phases.emplace_back("first messages handled", SinceProcessCreation());
    report.count = app.main.Tree().Count();
    report.totalMs = report.phases.back().second;
    report.peakBytes = ProcessMemory().peakWorkingSet;
    app.main.Unload();
    return 0;
}

}  // namespace volane::bench
