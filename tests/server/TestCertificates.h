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

// Writes ca.pem, server.pem and server-key.pem into `folder` (which must exist); throws on failure.
CertificateFiles MakeCertificates(const std::string& folder);

}  // namespace tarvello::testserver
