// Where a room link may take the user. Joining a room writes the account password
// into the join request, so a link is followed only to a gate the client already
// trusts: a host of the global configuration's servers, or a gate that the
// configured web server's own pages gave for their rooms. A link on any other page or
// in a chat line names a gate; it does not make one.
#pragma once

#include <string>

#include "controls/RoomLink.h"

// The hint shown where a room link to an unknown gate was refused.
extern const wchar_t kUnknownGateHint[];

// True when the address is an http(s) page of a host of the configured web
// addresses (the pages the global configuration names).
bool IsConfiguredWebPage(const std::wstring& url);

// True when every gate of the list is on a trusted host.
bool IsTrustedGateList(const RoomGateList& list);

// The decision for a link found on `page` (empty: a chat line): a link from a
// configured web page is followed and its gates become trusted; any other is followed
// only when its gates are trusted. A refusal writes one trace line; `where` names
// the caller in it.
bool AcceptRoomLink(const RoomLink& link, const std::wstring& page, const char* where);

// Forgets the gates learnt from pages (a new session, or a test).
void ForgetLearntGates();
