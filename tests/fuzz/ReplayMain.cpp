// Runs a fuzz target over saved inputs (files or folders of files), so that builds without
// libFuzzer still go through every corpus and regression case.

#include "FuzzSupport.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

bool runFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    const QByteArray input = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.constData()), size_t(input.size()));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int ran = 0;
    for (int i = 1; i < argc; ++i) {
        const QString path = QFile::decodeName(argv[i]);
        if (QFileInfo(path).isDir()) {
            QDirIterator it(path, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                if (!runFile(it.next()))
                    return 1;
                ++ran;
            }
        } else {
            if (!runFile(path))
                return 1;
            ++ran;
        }
    }
    std::printf("%d inputs ran without a fault\n", ran);
    // An empty corpus would prove nothing.
    return ran > 0 ? 0 : 1;
}
