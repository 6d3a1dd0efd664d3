// torvex-cli: the client engine from the command line, for scripts and benchmarks.
#include "app/clirunner.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    CliRunner::Options options;
    QString error;
    bool help = false;
    if (!CliRunner::parseArguments(app.arguments().mid(1), options, error, help)) {
        std::fprintf(stderr, "torvex-cli: %s\n\n%s", qPrintable(error), qPrintable(CliRunner::usage()));
        return CliRunner::Usage;
    }
    if (help) {
        std::fputs(qPrintable(CliRunner::usage()), stdout);
        return CliRunner::Ok;
    }
    CliRunner runner(options);
    QObject::connect(&runner, &CliRunner::finished, &app, &QCoreApplication::exit, Qt::QueuedConnection);
    runner.start();
    return app.exec();
}
