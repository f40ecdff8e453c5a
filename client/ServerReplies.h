#pragma once
// The reply words that every catalogue script shares, and the messages the client shows for them.

#include "platform/UnicodeString.h"

// Shown when a request fails: no connection, TLS failure, a status outside 2xx, a time-out, an empty list reply.
extern const UnicodeString ServerUnavailableMessage;

// Shows the message of an account refusal ("Wrong password", "User not found", "User blocked") and returns
// true; any other reply shows nothing and gives false.
bool ShowAccountRefusal(const UnicodeString& reply);
