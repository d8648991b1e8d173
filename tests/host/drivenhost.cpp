// mpa-settings with a DialogDriver that acts on its dialog as a user would,
// so a test can run the whole program and still close the dialog. The
// driver is armed when the dialog library starts its application object;
// it takes its script from VL_DRIVER_SCRIPT and appends its observations to
// the file VL_DRIVER_LOG, leaving the program's own output alone.
#include "dialogdriver.h"
#include "program.h"

#include <QCoreApplication>
#include <QFile>

namespace {

void armDriver()
{
    auto* const driver = new DialogDriver(qApp);
    driver->setTimeout(20000);
    const QString log = qEnvironmentVariable("VL_DRIVER_LOG");
    driver->setSink([log](const QString& line) {
        QFile file(log);
        if (file.open(QIODevice::Append))
            file.write(line.toUtf8() + '\n');
    });
    driver->addScript(qEnvironmentVariable("VL_DRIVER_SCRIPT"));
    driver->start();
}
Q_COREAPP_STARTUP_FUNCTION(armDriver)

} // namespace

int main(int argc, char** argv)
{
    return vl::host::runProgram(argc, argv);
}
