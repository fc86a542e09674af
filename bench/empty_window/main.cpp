// SPDX-License-Identifier: GPL-3.0-or-later
// An empty main window with a menu bar, nothing else. bench/startup.sh starts
// it beside the game to see what the game adds to start-up time and memory.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("empty-window-bench"));
    for (const char* title : {"&File", "&Options", "&View", "&Help"})
        window.menuBar()->addMenu(QString::fromLatin1(title));
    window.resize(351, 475);
    window.show();
    return app.exec();
}
