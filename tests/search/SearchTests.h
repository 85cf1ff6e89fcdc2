#pragma once

// One executable for the search core; each suite runs in turn.
int runEngineCatalogueTests(int argc, char** argv);
int runUrlComposerTests(int argc, char** argv);
int runEngineFilesTests(int argc, char** argv);
int runSearchDispatcherTests(int argc, char** argv);
int runXdgOpenBrowserTests(int argc, char** argv);
