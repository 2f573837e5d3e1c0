// internal.h - state and helpers shared by the library's own sources; not part of the interface.
#pragma once

struct TarvikSettings {
    unsigned long maxBufferSize;   // bytes; Buffer::New, Buffer::Add, CFiler::Read(Buffer&)
    long long maxFileSize;         // bytes; CFiler::Read(Buffer&)
    char floatFormat[16];          // printf format with one double conversion
    char hexFormat[16];            // wsprintfA format with one 32-bit unsigned conversion
};

// The process-wide settings, set at load and changed only by TarvikSetup.
extern TarvikSettings g_tarvikSettings;

// Sets the settings to their load values.
void TarvikResetSettings();

// Returns 1 on the NT platform family, else 0.
int IsPlatformNT();
