#include "TestCertificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace tarvello::testserver {

namespace {

using KeyPtr = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using CertPtr = std::unique_ptr<X509, decltype(&X509_free)>;

void check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("certificate set-up failed: ") + what);
}

KeyPtr makeKey() {
  KeyPtr key(EVP_EC_gen("P-256"), &EVP_PKEY_free);
  check(key != nullptr, "key");
  return key;
}

void addExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
  check(ext != nullptr, "extension");
  X509_add_ext(cert, ext, -1);
  X509_EXTENSION_free(ext);
}

// Signs `key`'s certificate with `issuerKey`; a null issuer makes it self-signed. Without subject names
// it is an authority's certificate.
CertPtr makeCertificate(EVP_PKEY* key, const char* commonName, long serial, X509* issuer, EVP_PKEY* issuerKey,
                        const char* subjectAltNames) {
  const bool authority = subjectAltNames == nullptr;
  CertPtr cert(X509_new(), &X509_free);
  check(cert != nullptr, "certificate");
  X509_set_version(cert.get(), 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial);
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), 7L * 24 * 3600);
  X509_set_pubkey(cert.get(), key);
  X509_NAME* name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("Tarvello tests"), -1,
                             -1, 0);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName), -1, -1,
                             0);
  X509* signer = issuer ? issuer : cert.get();
  X509_set_issuer_name(cert.get(), X509_get_subject_name(signer));
  if (authority) {
    addExtension(cert.get(), signer, NID_basic_constraints, "critical,CA:TRUE");
    addExtension(cert.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    addExtension(cert.get(), signer, NID_subject_key_identifier, "hash");
  } else {
    addExtension(cert.get(), signer, NID_basic_constraints, "critical,CA:FALSE");
    addExtension(cert.get(), signer, NID_key_usage, "critical,digitalSignature,keyEncipherment");
    addExtension(cert.get(), signer, NID_ext_key_usage, "serverAuth");
    addExtension(cert.get(), signer, NID_subject_alt_name, subjectAltNames);
    addExtension(cert.get(), signer, NID_authority_key_identifier, "keyid");
  }
  check(X509_sign(cert.get(), issuerKey ? issuerKey : key, EVP_sha256()) > 0, "signature");
  return cert;
}

template <typename Write>
void writePem(const std::string& path, Write write) {
  std::unique_ptr<FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  check(file != nullptr, path.c_str());
  check(write(file.get()) == 1, path.c_str());
}

}  // namespace

CertificateFiles MakeCertificates(const std::string& folder, const std::string& subjectAltNames) {
  KeyPtr caKey = makeKey();
  CertPtr ca = makeCertificate(caKey.get(), "Tarvello test authority", 1, nullptr, nullptr, nullptr);
  KeyPtr serverKey = makeKey();
  CertPtr server =
      makeCertificate(serverKey.get(), "127.0.0.1", 2, ca.get(), caKey.get(), subjectAltNames.c_str());

  CertificateFiles files{folder + "/ca.pem", folder + "/server.pem", folder + "/server-key.pem"};
  writePem(files.caFile, [&](FILE* f) { return PEM_write_X509(f, ca.get()); });
  writePem(files.certificateFile, [&](FILE* f) { return PEM_write_X509(f, server.get()); });
  writePem(files.keyFile, [&](FILE* f) {
    return PEM_write_PrivateKey(f, serverKey.get(), nullptr, nullptr, 0, nullptr, nullptr);
  });
  return files;
}

}  // namespace tarvello::testserver
