#include "Sha256.h"

#include <QCryptographicHash>
#include <QLibrary>

namespace {

// EVP_Digest(data, count, md, size, type, engine) and EVP_sha256(), by name.
using Digest = int (*)(const void *, size_t, unsigned char *, unsigned int *, const void *, void *);
using Sha256Type = const void *(*)();

struct OpenSsl
{
    Digest digest = nullptr;
    const void *type = nullptr;

    OpenSsl()
    {
        QLibrary library(QStringLiteral("crypto"), 3);
        if (!library.load())
            return;
        const auto sha256 = reinterpret_cast<Sha256Type>(library.resolve("EVP_sha256"));
        type = sha256 ? sha256() : nullptr;
        digest = type ? reinterpret_cast<Digest>(library.resolve("EVP_Digest")) : nullptr;
    }
};

const OpenSsl *openSsl = nullptr;

} // namespace

namespace Sha256 {

bool useOpenSsl()
{
    static const OpenSsl loaded;
    openSsl = &loaded;
    return loaded.digest != nullptr;
}

QByteArray hex(QByteArrayView bytes)
{
    unsigned char digest[32];
    unsigned int size = 0;
    if (openSsl && openSsl->digest
        && openSsl->digest(bytes.data(), size_t(bytes.size()), digest, &size, openSsl->type, nullptr) == 1
        && size == sizeof digest)
        return QByteArray(reinterpret_cast<const char *>(digest), int(size)).toHex();
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

} // namespace Sha256
