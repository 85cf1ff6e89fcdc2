#pragma once

// The launcher's start-up feedback (the busy cursor or spinner of StartupNotify=true) ends
// when the started program shows its first window. A start that only brings the running
// program forward shows none, so it ends the feedback itself rather than leave it spinning
// until the desktop gives up.
void EndStartupFeedback();
