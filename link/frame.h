// Frames on the wire: SendFrame, the only way anything is sent, and
// ReadFrame, the reading rule both of the link's readers follow. A frame is
// built or received in one fixed buffer of kFrameBufferSize bytes on the
// caller's stack; nothing is allocated.
//
// Threads: SendFrame on the user-interface thread (pages) and on the worker
// (the login line); no lock, the socket allows a send beside a receive.
// ReadFrame on the worker only.
#pragma once

#include <cstdint>

#include "link/frame_header.h"
#include "link/printf_format.h"

class CServerLink;
class CStreamSocket;

// Formats the payload printf-style behind a 4-byte header and sends the whole
// frame with a 10-second send time-out per underlying send. 1 when every byte
// went, 0 otherwise: no link, socket not open, a failed send (the socket is
// then closed), a formatted payload over kMaxSendPayload bytes, or any frame
// but the login before the login has gone out on the connection (these two
// are refused without sending anything, the socket left as it was). Pass texts as "%s" arguments, never as
// the format: a '%' in a channel name must go out unchanged.
int SendFrame(CServerLink* link, unsigned type, const char* format, ...) LINK_PRINTF_FORMAT(3, 4);

enum class FrameRead {
  kOk,
  kHeaderFailed,   // the 4 header bytes did not arrive
  kTooLong,        // announced length of kFrameBufferSize or more; nothing read
  kPayloadFailed,  // the payload did not arrive whole
};

// Reads one frame: the header into header (4 bytes; it may be the start of
// buffer), then the payload into buffer from byte 0 and a NUL right after
// it. buffer holds kFrameBufferSize bytes. Time-outs in seconds, 0 = none.
// *out gets the decoded header as soon as it is read.
FrameRead ReadFrame(CStreamSocket& socket, unsigned char* header, char* buffer,
                    int headerTimeoutSeconds, int payloadTimeoutSeconds, FrameHeader* out);
