#ifndef VL_SUPPORT_PROCESSRUN_H
#define VL_SUPPORT_PROCESSRUN_H

#include <QProcess>

// A program run to its end: exit code -1 when it crashed or hung (killed after a minute).
struct ProcessRun
{
    int exitCode = -1;
    QString standardOutput;
    QString standardError;
};

inline ProcessRun runProcess(const QString& program, const QStringList& arguments,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
    const QString& workingDirectory = QString())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError()) };
}

#endif
