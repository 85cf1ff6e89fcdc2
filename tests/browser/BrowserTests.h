#pragma once

// One executable for the built-in browser; each suite runs in turn.
int runBrowserProtocolTests(int argc, char** argv);
int runBrowserCommandReaderTests(int argc, char** argv);
int runBrowserCommandServerTests(int argc, char** argv);
int runBrowserWindowProxyTests(int argc, char** argv);
int runBrowserViewTests(int argc, char** argv);
