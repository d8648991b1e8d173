// mpa-settings with a DialogDriver armed on the application object: it works
// the script VL_DRIVER_SCRIPT and appends its log to the file VL_DRIVER_LOG.
#include "dialogdriver.h"
#include "program.h"

#include <QCoreApplication>
#include <QFile>

namespace {

QStringList steps;

void armDriver()
{
    const auto* const driver = new DialogDriver(qEnvironmentVariable("VL_DRIVER_SCRIPT"), &steps, qApp);
    QObject::connect(driver, &QObject::destroyed, [] {
        QFile file(qEnvironmentVariable("VL_DRIVER_LOG"));
        if (file.open(QIODevice::Append))
            file.write(steps.join(QLatin1Char('\n')).toUtf8() + '\n');
        steps.clear();
    });
}
Q_COREAPP_STARTUP_FUNCTION(armDriver)

} // namespace

int main(int argc, char** argv)
{
    return vl::host::runProgram(argc, argv);
}
