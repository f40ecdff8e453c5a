#pragma once
// The reply words that every catalogue script shares, and the messages the client shows for them.

#include "platform/UnicodeString.h"

class HttpClient;
class MultipartBody;
class TStringList;

// Shown when a request fails: no connection, TLS failure, a status outside 2xx, a time-out, an empty list reply.
extern const UnicodeString ServerUnavailableMessage;

// Shows the message of an account refusal ("Wrong password", "User not found", "User blocked") and returns
// true; any other reply shows nothing and gives false.
bool ShowAccountRefusal(const UnicodeString& reply);

// Posts to a script that answers in lines (list.php, find.php, view.php) and splits the reply into `lines`.
// When the request fails or the reply is empty, so that there is no first line to judge, shows
// ServerUnavailableMessage and returns false.
bool PostForLines(HttpClient& http, const UnicodeString& url, const MultipartBody& body, TStringList& lines);

// The messages of an add.php or update.php reply: "OK" saved, an account refusal, or "Duplicate ..." for a file
// that is already in the catalogue; any other reply shows nothing.
void ShowSaveReply(const UnicodeString& reply);
