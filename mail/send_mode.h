// Whether a send shows its failures (the test send) or nothing (the send before shutdown).
#ifndef TULVO_SEND_MODE_H
#define TULVO_SEND_MODE_H

enum class SendMode { Interactive, Silent };

#endif
