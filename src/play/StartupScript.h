#pragma once
// The start-up script "play.txt": the user's preferences, run once at start with the console
// silenced.

// Runs "play.txt" from the script search path with every console category off (its log
// categories still reach an open log file; single-stepping shows everything), then turns all
// categories on again. A missing or failing script is silent; one that ran to its end is
// announced. True when it ran to its end.
bool RunStartupScript();
