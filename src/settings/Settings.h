#pragma once

class App;

// Reads settings.ini into the shared state and places the toolbar at the saved Top and Left;
// on any failure the defaults are used and written to the file.
void LoadSettings(App& app);

// Writes settings.ini from the current state and the toolbar's position. A failure is shown
// to the user and the program runs on; returns whether the file was written.
bool SaveSettings(App& app);
