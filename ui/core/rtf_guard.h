// The guard that screens every text bound for a chat console. The console is
// a rich edit control, which reads a text beginning with "{\rtf" as rich
// text; the guard refuses such texts when they embed objects or use font and
// colour table indices of four or more digits, which the control mishandles.
// Pure function: any thread, no state.
#pragma once

bool IsUnsafeRtf(const char* text);
