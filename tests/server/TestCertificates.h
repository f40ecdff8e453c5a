#pragma once
// A throw-away certificate authority and a server certificate for 127.0.0.1 and localhost, made with
// OpenSSL at test time and written as PEM files into a folder.

#include <string>

namespace tarvello::testserver {

struct CertificateFiles {
  std::string caFile;          // the authority's certificate: what a client trusts
  std::string certificateFile; // the server's certificate, signed by the authority
  std::string keyFile;         // the server's private key
};

inline constexpr const char* kLoopbackNames = "IP:127.0.0.1,DNS:localhost";

// Writes ca.pem, server.pem and server-key.pem into `folder` (which must exist); the server certificate
// names `subjectAltNames` (OpenSSL's form, e.g. "IP:127.0.0.1,DNS:localhost"). Throws on failure.
CertificateFiles MakeCertificates(const std::string& folder, const std::string& subjectAltNames = kLoopbackNames);

}  // namespace tarvello::testserver
