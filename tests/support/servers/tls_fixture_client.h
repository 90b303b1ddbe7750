// The test side of tests/support/servers/smtps_fixture.py: its control port, named by the
// environment variable TULVO_TEST_TLS_CONTROL, takes one request line and answers
// with one line.
#ifndef TULVO_TEST_TLS_FIXTURE_CLIENT_H
#define TULVO_TEST_TLS_FIXTURE_CLIENT_H

#include <string>

// The fixture's answer to request ("" when there is no fixture to ask).
std::string ask_tls_fixture(const std::string& request);

#endif
