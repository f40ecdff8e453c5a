// Quillsum: prints a file's MD5 digest, as "Quillsum md5 FILE" -> "<32 hex digits>  FILE".
// The file is read in blocks, so files of any size work. The client captures standard output and error together
// and takes 20 bytes or more as a digest line, so a failure prints less than that.

#include <openssl/evp.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

int usage()
{
    std::fputs("Usage: Quillsum md5 FILE\n", stderr);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || std::strcmp(argv[1], "md5") != 0)
        return usage();

    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(argv[2], "rb"), &std::fclose);
    if (!file) {
        std::fputs("cannot open\n", stderr);
        return 1;
    }
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> md(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (!md || EVP_DigestInit_ex(md.get(), EVP_md5(), nullptr) != 1)
        return 1;

    static unsigned char block[1 << 20];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file.get())) > 0)
        EVP_DigestUpdate(md.get(), block, got);
    if (std::ferror(file.get())) {
        std::fputs("cannot read\n", stderr);
        return 1;
    }

    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(md.get(), digest, &length);
    for (unsigned int i = 0; i < length; ++i)
        std::printf("%02x", digest[i]);
    std::printf("  %s\n", argv[2]);
    return 0;
}
