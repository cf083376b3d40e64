// The groups of scenario steps the test host can run; main.cpp picks them from the command line.
#pragma once

void RunBindSteps();            // binding rows for this host variant
void RunVariantHosts();         // starts the other host variants with "bind" and relays their lines
void RunAbiSteps();             // every export by name and ordinal, stack checked; identity record
void RunNotifySteps();          // new-mail scenarios through the real winmm and the MCI recorder
void RunDialogSteps();          // the options dialog, driven from a second thread
void RunTruthSteps();           // the Linux stand-in's case tables against the real functions
void RunDemo();                 // one fetch of three messages, tray commands printed
