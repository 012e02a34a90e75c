// Web files through WinINet: a whole file to disk, the first buffer of a URL, a
// reachability test and a redirect-following status probe. Each operation opens
// and closes its own handles.
#pragma once

#include <string>

class CHttpGet {
public:
    // 1 when the whole file arrived (as many bytes as the answer announced), else 0.
    // With mustBeProgram 1 the body must start with "MZ".
    unsigned long URLDownloadToFileW(const char* url, const char* file, int mustBeProgram);
    // One read of up to `size` bytes; 1 on success, else 0.
    unsigned long URLDownloadToBuffer(const char* url, unsigned char* buffer, unsigned long size,
                                      unsigned long* read);
    // 1 when the network test address (SetNetworkTestUrl) can be opened, else 0.
    int TestNetworkIsConnected();
    // Probes the URL without letting redirects happen by themselves: 200 sets *ok
    // to 1, 302 probes the answer's location. 1 when the URL could be opened.
    int HttpGetFileName(const char* url, char* buffer, unsigned long size, int* ok);
};

// The address TestNetworkIsConnected opens. Taken, in this order, from the last
// SetNetworkTestUrl, the environment variable MIVORA_NETWORK_TEST_URL, and a
// well-known public page. The session sets it from its configuration.
void SetNetworkTestUrl(const char* url);
std::string GetNetworkTestUrl();

// The update service's base address, to which the logon window appends its page
// names ("dl_mv_t3.php?v=..."), so it ends with '/'. Taken, in this order, from the
// last SetUpdateBaseUrl, the environment variable MIVORA_UPDATE_URL, and the
// program's own update address.
void SetUpdateBaseUrl(const char* url);
std::string GetUpdateBaseUrl();

// A bare request over a plain socket: sends "GET <path>\n" and writes everything
// received to `file` until the peer closes. The last receive result (0 after an
// orderly close), or -1 when resolving, connecting, sending or creating fails.
int GetHTTP(char* host, int port, char* path, char* file);
