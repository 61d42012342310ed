// The emblem in the head of every HTML log file: a 114 x 20 RGBA PNG as Base64 text.
#pragma once

extern const char kLogFileEmblemBase64[];
