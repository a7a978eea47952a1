#pragma once
// Sound card callbacks run at a real-time priority, so that a busy desktop
// does not starve them; audio systems grant one to their clients' threads.

// Takes a real-time priority for the calling thread where the system allows
// it; otherwise the thread keeps the one it has.
void RaiseToAudioPriority();
