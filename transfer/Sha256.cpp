#include "Sha256.h"

#include <openssl/evp.h>

namespace Sha256 {

QByteArray hex(QByteArrayView bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(bytes.data(), size_t(bytes.size()), digest, &size, EVP_sha256(), nullptr);
    return QByteArray(reinterpret_cast<const char *>(digest), int(size)).toHex();
}

} // namespace Sha256
