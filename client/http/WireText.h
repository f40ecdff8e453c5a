#pragma once
// Byte forms of text on the wire: the character sets of request parts and replies, quoted-printable,
// base64 and percent-encoding. Text is UTF-16; a "character" is one UTF-16 code unit, as in UnicodeString.

#include "HttpError.h"
#include "platform/UnicodeString.h"

#include <string>

// One character to one byte: U+0000..U+00FF give that byte, every other character gives "?".
std::string ToSingleByte(const UnicodeString& text);

// The text in a named character set: "" is the single-byte conversion above, "UTF-8" is UTF-8 without a
// byte order mark, any other name goes through ICU with "?" for what the set cannot hold.
// Throws HttpError for a name ICU does not know.
std::string EncodeText(const UnicodeString& text, const std::string& charset);

// A reply body as text, by the reply's Content-Type header (nullptr when the reply had none): its charset
// when it names one ICU knows; else "us-ascii" for the XML text types and one byte to one character for
// everything else, no Content-Type included.
UnicodeString DecodeReply(const std::string& bytes, const char* contentType);

// Quoted-printable as the multipart text parts carry it: every input line (cut at CR LF, lone CR or lone LF;
// a final break adds no line) ends in CR LF, soft breaks "=" CR LF once an output line reaches 70 characters,
// a "." at the start of an output line becomes =2E, a blank or tab that ends its line is escaped.
// Empty input gives "".
std::string QuotedPrintable(const std::string& bytes);

// Standard base64 (RFC 4648), in lines of at most 76 characters separated by CR LF.
std::string Base64(const std::string& bytes);

// Percent-encodes the UTF-8 form of a query value; only the RFC 3986 unreserved characters
// (letters, digits, "-", ".", "_", "~") stay as they are.
std::string PercentEncode(const UnicodeString& text);
