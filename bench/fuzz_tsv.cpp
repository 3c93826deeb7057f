// libFuzzer target: the clipboard (tab-separated) reader must never crash or
// hang on any text, and what it reads must come back the same through the
// writer, so a copy pasted back puts every cell where it was.

#include "Tsv.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const QVector<QStringList> rows = Tsv::read(text);
    if (Tsv::read(Tsv::write(rows)) != rows)
        std::abort();
    return 0;
}
