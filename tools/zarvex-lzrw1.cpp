// zarvex-lzrw1: the compressor on the command line.
//
//   zarvex-lzrw1 compress [--mode fast|good|auto] IN OUT
//   zarvex-lzrw1 decompress IN OUT
//   zarvex-lzrw1 advise IN
//
// Prints the compressor's status line on success and exits 0; prints the
// error text on standard error and exits 1 otherwise.

#include <exception>
#include "tally/tlzrw1.h"

#include <QStringList>
#include <cstdio>

namespace {

const char Usage[] = "usage: zarvex-lzrw1 compress [--mode fast|good|auto] IN OUT   (mode good by default)\n"
                     "       zarvex-lzrw1 decompress IN OUT\n"
                     "       zarvex-lzrw1 advise IN\n";

int usage()
{
    std::fputs(Usage, stderr);
    return 1;
}

bool parseMode(const QString &text, Tlzrw1::TCompressMode &mode)
{
    if (text == QLatin1String("fast"))
        mode = Tlzrw1::Fast;
    else if (text == QLatin1String("good"))
        mode = Tlzrw1::Good;
    else if (text == QLatin1String("auto"))
        mode = Tlzrw1::Auto;
    else
        return false;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();

    Tlzrw1 lzrw1;
    // Like the component's own default, compress codes Good unless told otherwise.
    if (command == QLatin1String("compress") && args.size() == 4
        && args[0] == QLatin1String("--mode")) {
        if (!parseMode(args[1], lzrw1.CompressMode))
            return usage();
        args = args.mid(2);
    }
    const int expected = command == QLatin1String("advise") ? 1 : 2;
    if (args.size() != expected)
        return usage();
    lzrw1.InputFile = args[0];
    if (expected == 2)
        lzrw1.OutputFile = args[1];

    try {
        if (command == QLatin1String("compress"))
            lzrw1.Compress();
        else if (command == QLatin1String("decompress"))
            lzrw1.Decompress();
        else if (command == QLatin1String("advise"))
            lzrw1.Advise();
        else
            return usage();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("%s\n", lzrw1.caption().toLocal8Bit().constData());
    return 0;
}
