#pragma once

// One executable for the settings store; each suite runs in turn.
int runDesktopEntryTests(int argc, char** argv);
int runBrowserModeSettingTests(int argc, char** argv);
int runAutostartSettingTests(int argc, char** argv);
