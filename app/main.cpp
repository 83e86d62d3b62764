#include "MainWindow.h"
#include "ScanRecord.h"
#include "ZoneStore.h"

#include <QApplication>
#include <memory>

int main(int argc, char *argv[])
{
    // The zone store and the scan record outlive the main window.
    auto store = std::make_unique<ZoneStore>();
    auto scan = std::make_unique<ScanRecord>();

    QApplication app(argc, argv);
    int result = 0;
    {
        MainWindow window(store.get(), scan.get());
        window.show();
        result = app.exec();
    }
    return result;
}
