#pragma once

// One executable for the skinned controls; each suite runs in turn.
int runCheckBoxTests(int argc, char** argv);
int runRadioBoxTests(int argc, char** argv);
int runButtonTests(int argc, char** argv);
int runUrlTests(int argc, char** argv);
int runReferenceTests(int argc, char** argv);
