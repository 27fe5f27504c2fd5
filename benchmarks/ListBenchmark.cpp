// SPDX-License-Identifier: MIT
// The program list as the user waits for it: the main window loaded (hive load, scan, icons decoded
// into the image lists, rows into the model) on 1,000 and 10,000 entries, then a refresh.
#include "BenchFixture.h"
#include "app/Startup.h"
#include "inventory/PathMapping.h"
#include "registry/HiveRegistry.h"
#include "ui/main/FrmMain.h"
#include "ui/main/ImageList.h"
#include "ui/main/ProgramList.h"
#include "uninstall/Processes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

using namespace tw;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    for (int entries : { 1000, 10000 }) {
        const bench::Fixture fixture(entries);
        QElapsedTimer timer;
        timer.start();
        Application app;
        app.context.registryFile = fixture.registryFile;
        app.context.osName = "Microsoft Windows XP";
        app.registryApi = std::make_unique<HiveRegistry>(fixture.registryFile);
        app.registry = std::make_unique<Registry>(*app.registryApi);
        app.processes = makeProcessCalls(PathMapping::forRegistryFile(fixture.registryFile));
        app.mainWindow = std::make_unique<FrmMain>(app);
        const qint64 load = timer.elapsed();
        app.mainWindow->show();
        QApplication::processEvents();
        const qint64 shown = timer.elapsed();
        timer.restart();
        app.mainWindow->mnu_refresh_Click();
        const qint64 refresh = timer.elapsed();
        std::printf(
            "%6d entries: window loaded in %lld ms (%.1f us/entry), shown after %lld ms, refresh %lld ms; "
            "%d rows, %d images\n",
            entries, static_cast<long long>(load), 1000.0 * static_cast<double>(load) / entries,
            static_cast<long long>(shown), static_cast<long long>(refresh), app.mainWindow->list().rowCount(),
            app.mainWindow->largeImages().count());
        app.mainWindow.reset();
    }
    return 0;
}
