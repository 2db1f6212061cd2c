// How long any test, benchmark driver or scripted peer waits for something
// that should happen before it calls it a hang. It is a bound, never a
// speed: a machine with every core busy may take many seconds for what an
// idle one does at once, so a wait gives up only here, and a peer holds its
// connection until the test closes it or this passes.
#pragma once

constexpr int kHangBoundMs = 120000;
