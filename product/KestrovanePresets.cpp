// Kestrovane: the factory presets, in slot order after "Default".

#include "Kestrovane.h"

void Kestrovane::MakeFactoryPreset(const char* name, double threshold, double ratio, double range,
                                   double compensation, double attack, double release, double rmsSize,
                                   double knee, int mode, int topology, double sag, double drive,
                                   int autoRelease, double parallel)
{
  MakePresetFromNamedParams(name, kNumParams,
                            kThreshold, threshold, kRatio, ratio, kRange, range, kCompensation, compensation,
                            kAttack, attack, kRelease, release, kRMSSize, rmsSize, kKnee, knee,
                            kParallel, parallel, kMode, mode, kTopology, topology, kSag, sag,
                            kDrive, drive, kOversample, 0, kSidechain, 0, kAutoRelease, autoRelease);
}

void Kestrovane::MakeFactoryPresets()
{
  //                 name                                     Thr    Ratio  Range  Comp Att    Rel     RMS    Knee Mode Topo Sag    Drive  AutoRel
  MakeFactoryPreset("Just the basics",                        -10,   2,     -5,    0,   12,    200,    30,    2,   0, 0, 14,    0,     0);
  MakeFactoryPreset("2Buss - General",                        -16,   2,     -40,   -3,  1.44,  22.7,   20,    3,   0, 0, 3.8,   30.5,  2);
  MakeFactoryPreset("2Buss - Attack Rider",                   -16,   2,     -40,   3,   3.08,  55.9,   36,    3,   0, 0, 0.7,   28,    2);
  MakeFactoryPreset("2Buss - Density Increaser",              -16,   2,     -40,   3,   6.05,  93.6,   36,    3,   1, 0, 15.4,  28,    2);
  MakeFactoryPreset("2Buss - Glue it up",                     -16,   2,     -40,   3,   9.91,  156.2,  36,    3,   1, 0, 63.5,  75.4,  2);
  MakeFactoryPreset("2Buss - 2-inch in my cupboard",          -16,   1.04,  -15.1, 2,   1.98,  49.7,   36,    3,   1, 0, 100,   88,    0);
  MakeFactoryPreset("2Buss - Peak Control 1",                 -16,   4,     -15.1, 2,   3.08,  15.8,   13,    0.5, 1, 0, 0,     94.3,  1);
  MakeFactoryPreset("2Buss - Peak Control 2",                 -16,   4,     -15.1, 2,   0.23,  7.1,    13,    0.5, 1, 0, 0,     94.3,  1);
  MakeFactoryPreset("2Buss - Peak Control 3",                 -16,   4,     -15.1, 2,   0.01,  1,      13,    0.5, 1, 0, 0,     94.3,  1);
  MakeFactoryPreset("2Buss - Unfair Child",                   -16,   3,     -40,   5,   0.01,  1,      250,   8,   1, 0, 14,    94,    1);
  MakeFactoryPreset("2Buss - The Ambient Zone",               -20,   1.86,  -40,   6.4, 17.48, 635.4,  91.1,  3.6, 4, 0, 14,    94,    0);
  MakeFactoryPreset("2Buss - Tech Rider",                     -9.9,  1.1,   -1,    2,   57.44, 616.5,  16,    1.5, 4, 0, 0,     0,     2);
  MakeFactoryPreset("2Buss - Final Cut",                      -9.6,  4.83,  -4.9,  5.3, 57.44, 1338.6, 38.3,  1.5, 1, 0, 0,     78.26, 2);
  MakeFactoryPreset("Buss - String Ensemble",                 -20.1, 2,     -40,   3,   27.79, 332.9,  142.7, 3,   0, 0, 89.8,  20.5,  0);
  MakeFactoryPreset("Buss - Solid Synths",                    -18,   4,     -40,   2,   16.11, 104.6,  12.8,  5,   1, 0, 0,     70,    0);
  MakeFactoryPreset("Buss - Drum Power 1",                    -11.9, 2,     -40,   2.9, 0.89,  20.7,   21.3,  0.9, 2, 0, 0,     70,    0);
  MakeFactoryPreset("Buss - Drum Power 2",                    -11.2, 4.15,  -40,   3.8, 3.66,  95.8,   11,    0,   2, 0, 11.7,  74.7,  0);
  MakeFactoryPreset("Buss - Drum Power 3 - Dark-n-British",   -11.6, 5.28,  -40,   3,   0.31,  178.5,  35.4,  0,   2, 1, 42.3,  85.7,  0);
  MakeFactoryPreset("Buss - Drum Power 4 - Electronic",       -7,    9,     -8.1,  4,   0.01,  4.3,    35.4,  0,   3, 0, 0,     12,    2);
  MakeFactoryPreset("Buss - Drum Integration - Jazz Kit",     -14,   3.83,  -40,   3,   20.54, 558.8,  35.4,  8.3, 2, 0, 73.6,  6,     0);
  MakeFactoryPreset("Buss - Lush Piano",                      -20,   11.07, -40,   3,   20.54, 310,    82.8,  3.3, 0, 0, 0,     30.3,  0, 34.78);
  MakeFactoryPreset("Buss - Bass Glue",                       -9.5,  4.03,  -40,   1.5, 1.3,   1350,   35.4,  2.1, 3, 1, 80.43, 96.74, 0);
  MakeFactoryPreset("Buss - Backup Vocals",                   -19.7, 1.98,  -40,   4,   25.78, 167.9,  35.4,  0,   1, 0, 17.39, 31.57, 0);
  MakeFactoryPreset("Buss - Tighter Backup Vocals",           -20,   2,     -40,   4,   6.77,  31.9,   35.4,  0,   1, 0, 4,     8.8,   0);
  MakeFactoryPreset("FX - Insert before reverb",              -10.1, 2,     -17.7, 5.5, 6.77,  31.9,   30.9,  3.3, 3, 0, 25.7,  0,     2);
  MakeFactoryPreset("QJ - Subtle 80s Hi-end",                 -14.2, 3,     -40,   2.5, 10,    333,    0.1,   1.6, 2, 0, 0,     15.13, 0);
  MakeFactoryPreset("QJ - Cohesion Zorl",                     -15,   4.01,  -40,   1.5, 33.46, 193.4,  60.1,  2,   0, 1, 3,     30,    3);
  MakeFactoryPreset("QJ - Mild Adhesive",                     -12.3, 4.01,  -40,   0.8, 6.77,  170.5,  24.9,  1.3, 0, 0, 27.17, 15.3,  0);
  MakeFactoryPreset("QJ - Mojo Zorl",                         -13.8, 6.01,  -40,   1.5, 33.46, 193.4,  18.2,  0,   1, 1, 12,    58,    3);
  MakeFactoryPreset("QJ - Subtle Saturation",                 -10.2, 4.1,   -40,   0,   0.01,  1,      6,     0,   1, 1, 38.04, 80.3,  0);
  MakeFactoryPreset("QJ - Facehammer",                        -17.4, 4.01,  -40,   3.6, 6.41,  1,      10.2,  1.3, 1, 0, 28.26, 21.22, 0);
  MakeFactoryPreset("QJ - Lip Gloss Zorl",                    -12.2, 2.02,  -40,   1.2, 18.62, 90.4,   10.4,  1.3, 2, 0, 8,     31,    3);
  MakeFactoryPreset("QJ - That Cheap Thing You Had",          -12.3, 4.01,  -40,   4.6, 17.94, 200.3,  9.4,   0,   3, 0, 100,   81.52, 0);
}
