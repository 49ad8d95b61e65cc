#pragma once

struct CliContext;

// kt480ctl ... identify: serial number, firmware version, Device ID and SD card label, found
// as the main window does (with 0000AC when the given ID gets no answer).
int runIdentifyVerb(CliContext &context);
