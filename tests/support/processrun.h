#ifndef VL_SUPPORT_PROCESSRUN_H
#define VL_SUPPORT_PROCESSRUN_H

#include <QProcess>
#include <QString>
#include <QStringList>

// A program run to its end, with what it printed.
struct ProcessRun
{
    int exitCode = -1; // -1: it crashed, or hung and was killed after a minute
    QString standardOutput;
    QString standardError;
};

// Runs a program with the given environment (default: this process's) in
// the given working directory (default: this process's).
inline ProcessRun runProcess(const QString& program, const QStringList& arguments,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
    const QString& workingDirectory = QString())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    ProcessRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.standardOutput = QString::fromUtf8(process.readAllStandardOutput());
    run.standardError = QString::fromUtf8(process.readAllStandardError());
    return run;
}

#endif
