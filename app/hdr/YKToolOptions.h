#pragma once

// YKToolOptions: what the drawing tools' option messages hold, and how a new object takes it.
// The tools panel writes the messages; the event manager applies the drawing tool's message to
// each object it creates, so the next object drawn looks as the options say. Every field is
// optional (the object's own default stays) and every value is clamped when applied, since the
// messages come back from the preferences file.

#include "YKMessage.h"
#include "yk_types.h"

class YKObjectLayer;

class YKToolOptions {
public:
    // Vector objects.
    static constexpr const char* kWidth = "Width";              // float, document units
    static constexpr const char* kStrokeColor = "StrokeColor";  // yk_color
    static constexpr const char* kFilled = "Filled";            // bool: plain colour fill or none
    static constexpr const char* kFillColor = "FillColor";      // yk_color
    static constexpr const char* kDash = "DashIndex";           // int32, predefined dash
    static constexpr const char* kFirstCap = "Cap1";            // int32, yk_cap_mode
    static constexpr const char* kLastCap = "Cap2";             // int32
    static constexpr const char* kJoin = "Join";                // int32, yk_join_mode
    static constexpr const char* kRadius = "Radius";            // float, rounded corners
    // Text objects: the font as "<path> <family> <style>", and its size.
    static constexpr const char* kFont = "Font";          // string
    static constexpr const char* kFontSize = "FontSize";  // float
    // Paint layers: the brush's archive.
    static constexpr const char* kBrush = "_brush";  // message

    static constexpr double kMaxWidth = 500;
    static constexpr double kMaxRadius = 5000;
    static constexpr double kMinFontSize = 1;
    static constexpr double kMaxFontSize = 1000;
    // The caps and joins the sketcher draws (yk_cap_mode and yk_join_mode values).
    static constexpr int32 kMaxCap = 4;
    static constexpr int32 kMaxJoin = 3;

    // Gives the object just created by a drawing tool the options of `options`.
    static void Apply(const YKMessage* options, YKObjectLayer* object);

    // Replaces the value of a field (or adds it).
    static void SetFloat(YKMessage* options, const char* name, float value);
    static void SetInt32(YKMessage* options, const char* name, int32 value);
    static void SetBool(YKMessage* options, const char* name, bool value);
    static void SetColor(YKMessage* options, const char* name, yk_color value);
    static void SetString(YKMessage* options, const char* name, const char* value);
    static void SetMessage(YKMessage* options, const char* name, const YKMessage& value);
};
