// The test double of the mail client's "mapi32.dll", built by the tests and put
// into the Wine prefix's system folder by the test that uses it (run with
// WINEDLLOVERRIDES=mapi32=n so that it wins over Wine's own). It is scripted and
// observed through environment variables of the test process (and of the programs
// it starts), read at every call:
//   FAKE_MAPI_LOG       file to which every call is appended as one line
//   FAKE_MAPI_LOADS     file to which the full path of every loaded copy is appended
//   FAKE_MAPI_FAIL      comma-separated entry point names that return a failure
//   FAKE_MAPI_HANG      comma-separated entry point names that never return, as a
//                       client waiting on a question nobody answers; meanwhile the
//                       calling thread's messages are dispatched, as the client's
//                       own window would have them
//   FAKE_MAPI_CALLBACK  decimal address of a void(const char* entry) function of
//                       the test, called inside every call after it is logged
//   FAKE_MAPI_ENDED     comma-separated session handles the client no longer knows
//                       (it was restarted): a send through one fails with
//                       MAPI_E_INVALID_SESSION
// Log lines (texts between brackets with CR and LF as \r and \n, a missing text as "null"):
//   MAPILogon ui=0 profile=null password=null flags=3 reserved=0
//   MAPIResolveName session=7 ui=0 name=[...] flags=0 reserved=0
//   MAPISendMail session=7 ui=0 flags=0 reserved=0 subject=[...] note=[...] recips=1 class=1
//       recip=resolved originator=null type=null date=null conversation=null files=0 msgflags=0
//   MAPILogoff session=7 ui=0 flags=0 reserved=0
//   MAPIFreeBuffer buffer=resolved
#ifndef TULVO_TEST_FAKE_MAPI32_H
#define TULVO_TEST_FAKE_MAPI32_H

#define FAKE_MAPI_LOG "FAKE_MAPI_LOG"
#define FAKE_MAPI_LOADS "FAKE_MAPI_LOADS"
#define FAKE_MAPI_FAIL "FAKE_MAPI_FAIL"
#define FAKE_MAPI_HANG "FAKE_MAPI_HANG"
#define FAKE_MAPI_CALLBACK "FAKE_MAPI_CALLBACK"
#define FAKE_MAPI_ENDED "FAKE_MAPI_ENDED"

// The session handle the double's first logon hands out; each later one, the next number.
#define FAKE_MAPI_SESSION 7

typedef void (*FakeMapiCallback)(const char* entry);

#endif
