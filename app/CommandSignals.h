#pragma once
// A command ended by a signal (Ctrl+C, kill, a closed terminal) leaves no
// work folder behind: while it runs, SIGINT, SIGTERM and SIGHUP go to a
// thread of their own that removes the command's private folders and then
// ends the program as the signal would have. A signal ignored at the start
// stays ignored.
//
// Call once, before the command starts any other thread; the program ends
// when the command does.
void RemoveWorkOnSignals();
