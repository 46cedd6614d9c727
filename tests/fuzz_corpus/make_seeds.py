#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into the folders beside this script, one folder a
target. Each seed is a short sequence of operations in the target's own input encoding (see the
comments at the top of each target's source), so that fuzzing starts from what a host and a user
actually do. Run it again after changing an encoding; the files it writes are committed.

    tests/fuzz_corpus/make_seeds.py
"""

import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def u16(v):
    return struct.pack("<H", v & 0xFFFF)


def u32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def f32(v):
    return struct.pack("<f", v)


def f64(v):
    return struct.pack("<d", v)


def text(s, max_len):
    """FuzzInput::Text: a length byte (taken modulo max_len + 1), then the bytes."""
    b = s.encode("latin-1")
    assert len(b) <= max_len
    return bytes([len(b)]) + b


def write(target, seeds):
    folder = os.path.join(HERE, target)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


# ----- fuzz_kestrovane_au_properties -----
# op % 16: 0-3 get, 4-6 get-info, 7-11 set, 12 render, 13 initialize, 14 uninitialize (bit 4) or
# reset, 15 listener add (bit 4) or remove. A property is [id][scope][element]; ids below 240 pick
# from the harness's table.

AU_IDS = ["ClassInfo", "MakeConnection", "SampleRate", "ParameterList", "ParameterInfo", "FastDispatch",
          "StreamFormat", "ElementCount", "Latency", "SupportedNumChannels", "MaximumFramesPerSlice",
          "ParameterValueStrings", "GetUIComponentList", "TailTime", "BypassEffect", "LastRenderError",
          "SetRenderCallback", "FactoryPresets", "HostCallbacks", "CurrentPreset", "CocoaUI",
          "ParameterStringFromValue", "ParameterIDName", "PresentPreset", "ParameterValueFromString",
          "InstrumentCount", "CPULoad", "ContextName"]
AU_SIZES = {"ClassInfo": 8, "MakeConnection": 16, "SampleRate": 8, "ParameterList": 64, "ParameterInfo": 104,
            "FastDispatch": 8, "StreamFormat": 40, "SupportedNumChannels": 20, "ParameterValueStrings": 8,
            "GetUIComponentList": 20, "TailTime": 8, "Latency": 8, "SetRenderCallback": 16, "FactoryPresets": 8,
            "HostCallbacks": 32, "CurrentPreset": 16, "PresentPreset": 16, "CocoaUI": 16,
            "ParameterStringFromValue": 24, "ParameterIDName": 16, "ParameterValueFromString": 24}
GLOBAL, INPUT, OUTPUT = 0, 1, 2


def au_prop(name, scope=GLOBAL, element=0):
    return bytes([AU_IDS.index(name), scope, element])


def au_size(name):
    return AU_SIZES.get(name, 4)


def au_get(name, scope=GLOBAL, element=0, payload=b"", extra=b""):
    """A get with data and size, the property's own size; payload fills the buffer."""
    n = au_size(name)
    body = (payload + bytes(n))[:n]
    return bytes([0]) + au_prop(name, scope, element) + bytes([1, 0]) + body + extra


def au_info(name, scope=GLOBAL, element=0):
    return bytes([4]) + au_prop(name, scope, element) + bytes([3]) + u32(0)


def au_set(name, payload, scope=GLOBAL, element=0, sel=b"\x00"):
    n = au_size(name)
    body = (payload + bytes(n))[:n]
    return bytes([7]) + au_prop(name, scope, element) + bytes([1, 0]) + body + sel


def au_render(frames=256, buffers=2):
    return bytes([12]) + u16(frames) + bytes([buffers, 0, 0])


def asbd(rate, channels):
    return f64(rate) + u32(0x6C70636D) + u32(41) + u32(4) + u32(1) + u32(4) + u32(channels) + u32(32) + u32(0)


def au_seeds():
    s = {}
    s["get_every_property"] = b"".join(au_get(n) for n in AU_IDS if n not in (
        "ParameterStringFromValue", "ParameterValueFromString"))
    s["info_every_property_by_scope"] = b"".join(au_info(n, sc) for n in AU_IDS[:24] for sc in (GLOBAL, INPUT))
    s["parameter_info_each"] = b"".join(au_get("ParameterInfo", GLOBAL, e) for e in range(16))
    s["value_strings_each"] = b"".join(au_get("ParameterValueStrings", GLOBAL, e) for e in range(16))
    s["texts_and_names"] = (
        au_get("ParameterStringFromValue", payload=u32(9), extra=f32(2.0) + b"\x01") +
        au_get("ParameterStringFromValue", payload=u32(15), extra=f32(0.0) + b"\x00") +
        au_get("ParameterIDName", payload=u32(4) + u32(5)) +
        au_get("ParameterIDName", payload=u32(0) + u32(0xFFFFFFFF)) +
        au_get("ParameterValueFromString", payload=u32(13), extra=text("On", 12)) +
        au_get("ParameterValueFromString", payload=u32(9), extra=text("III", 12)))
    s["rate_then_render"] = au_set("SampleRate", f64(48000.0)) + au_render(512)
    s["rates_odd"] = au_set("SampleRate", f64(8000.0)) + au_render(64) + au_set("SampleRate", f64(192000.0)) + au_render(64)
    s["formats_initialize_render"] = (
        au_set("StreamFormat", asbd(44100, 2), INPUT, 0) + au_set("StreamFormat", asbd(44100, 2), INPUT, 1) +
        au_set("StreamFormat", asbd(44100, 2), OUTPUT, 0) + bytes([13]) + au_render(256))
    s["mono_format"] = (au_set("StreamFormat", asbd(44100, 1), INPUT, 0) + au_set("StreamFormat", asbd(44100, 1), OUTPUT, 0) +
                        bytes([13]) + au_render(128, 1))
    s["render_callback_main"] = au_set("SetRenderCallback", b"", INPUT, 0, b"\x01") + au_render(256)
    s["render_callback_sidechain"] = (au_set("SetRenderCallback", b"", INPUT, 0, b"\x01") +
                                      au_set("SetRenderCallback", b"", INPUT, 1, b"\x01") + bytes([13]) + au_render(300))
    s["connection_from_other_unit"] = au_set("MakeConnection", u64_pad(0) + u32(0) + u32(0), INPUT, 0, b"\x01") + au_render(256)
    s["connection_to_itself"] = au_set("MakeConnection", u64_pad(0) + u32(0) + u32(0), INPUT, 0, b"\x02") + au_render(64)
    s["class_info_round_trip"] = au_get("ClassInfo") + au_set("ClassInfo", b"", sel=b"\x01\x00")
    s["class_info_state_changed"] = au_set("ClassInfo", b"", sel=b"\x01\x01\x41\x02" + u16(10) + b"\xff" + u16(40) + b"\x00\x07")
    s["class_info_not_a_dictionary"] = au_set("ClassInfo", b"", sel=b"\x03\x02")
    s["host_callbacks"] = au_set("HostCallbacks", b"", sel=b"\x1f" + f64(133.0) + f64(4410.0)) + au_render(128)
    s["presets"] = (au_set("CurrentPreset", u32(3), sel=b"\x01") + au_get("PresentPreset") +
                    au_set("PresentPreset", u32(119)) + au_get("CurrentPreset") + au_get("FactoryPresets"))
    s["bypass_render"] = au_set("BypassEffect", u32(1)) + au_render(256) + au_set("BypassEffect", u32(0)) + au_render(256)
    s["max_frames_render"] = au_set("MaximumFramesPerSlice", u32(256)) + au_render(256) + au_render(300)
    s["listener_then_sets"] = (bytes([0x1F]) + bytes([AU_IDS.index("SampleRate")]) + au_set("SampleRate", f64(96000.0)) +
                               bytes([0x0F]) + bytes([AU_IDS.index("SampleRate")]) + au_set("SampleRate", f64(44100.0)))
    s["uninitialize_reset_render"] = bytes([13]) + au_render(100) + bytes([0x1E]) + au_render(100) + bytes([14]) + au_render(100)
    return s


def u64_pad(v):
    return struct.pack("<Q", v)


# ----- fuzz_kestrovane_vst_dispatcher -----
# op % 8: 5 process [u16 frames][level], 6 setParameter [index][opt], 7 getParameter [index],
# else a dispatcher call [opcode][index][value][opt][buffer] and the opcode's own bytes.

VST_OPS = ["effOpen", "effSetProgram", "effGetProgram", "effSetProgramName", "effGetProgramName",
           "effGetParamLabel", "effGetParamDisplay", "effGetParamName", "effSetSampleRate", "effSetBlockSize",
           "effMainsChanged", "effEditGetRect", "effEditOpen", "effEditClose", "effEditIdle", "effIdentify",
           "effGetChunk", "effSetChunk", "effProcessEvents", "effCanBeAutomated", "effGetProgramNameIndexed",
           "effGetInputProperties", "effGetOutputProperties", "effGetPlugCategory", "effSetSpeakerArrangement",
           "effGetEffectName", "effGetVendorString", "effGetProductString", "effVendorSpecific", "effCanDo",
           "effIdle", "effGetVstVersion", "effGetMidiKeyName", "effGetSpeakerArrangement"]
VST_OPTS = {0.0: 0, 1.0: 1, 0.5: 2, -1.0: 3, 44100.0: 4, 48000.0: 5, 96000.0: 6, 8000.0: 7, 1e-30: 8}


def v_index(i):
    return bytes([i + 2]) if -2 <= i < 22 else b"\xff" + u32(i)


def v_value(v):
    if -4 <= v <= 35:
        return bytes([v + 4])
    if v > 0 and v & (v - 1) == 0 and v < (1 << 17):
        return bytes([68 + v.bit_length() - 1])  # 68 + k: (68 + k) % 17 == k
    return bytes([128]) + u32(v)


def v_opt(x):
    return bytes([VST_OPTS[x]]) if x in VST_OPTS else b"\xff" + f32(x)


def vst(op, idx=0, value=0, opt=0.0, buffer=False, extra=b""):
    return bytes([0, VST_OPS.index(op)]) + v_index(idx) + v_value(value) + v_opt(opt) + bytes([1 if buffer else 0]) + extra


def v_process(frames=256, level=4):
    return bytes([5]) + u16(frames - 1) + bytes([level])


def v_set(idx, x):
    return bytes([6]) + v_index(idx) + v_opt(x)


def v_get(idx):
    return bytes([7]) + v_index(idx)


def vst_seeds():
    s = {}
    s["programs"] = b"".join(vst("effSetProgram", 0, p) + vst("effGetProgram") + vst("effGetProgramName", buffer=True)
                             for p in (1, 2, 17, 35)) + v_process()
    s["program_names_indexed"] = b"".join(vst("effGetProgramNameIndexed", i, 0, buffer=True) for i in (-1, 0, 5, 119, 120))
    s["rename_program"] = vst("effSetProgramName", buffer=True, extra=text("My Bus", 23)) + vst("effGetProgramName", buffer=True)
    s["rates_and_blocks"] = (vst("effSetSampleRate", opt=48000.0) + vst("effSetBlockSize", 0, 64) + v_process(64) +
                             vst("effSetSampleRate", opt=96000.0) + vst("effSetBlockSize", 0, 1024) + v_process(512) +
                             vst("effSetSampleRate", opt=8000.0) + v_process(100))
    s["mains_off_on"] = vst("effMainsChanged", 0, 0) + vst("effMainsChanged", 0, 1) + v_process(256)
    s["editor_open_idle_close"] = (vst("effEditGetRect", buffer=True) + vst("effEditOpen") + vst("effEditIdle") +
                                   vst("effEditIdle") + vst("effEditClose") + vst("effEditClose"))
    s["chunk_round_trip"] = (vst("effGetChunk", 0, buffer=True) + vst("effSetChunk", 0, buffer=True, extra=b"\x01") +
                             vst("effGetChunk", 1, buffer=True) + vst("effSetChunk", 1, buffer=True, extra=b"\x01"))
    s["chunk_from_input"] = vst("effSetChunk", 1, buffer=True, extra=b"\x00\x44" + b"tffp\x00\x00\x01\x00" + bytes(128))
    s["chunk_null_counts"] = vst("effSetChunk", 0, 136) + vst("effSetChunk", 1, -1)
    s["midi_events"] = vst("effProcessEvents", buffer=True, extra=bytes([2]) +
                           u32(1) + u32(32) + u32(0) + u32(0) + u32(0) + u32(0) + bytes([0x90, 60, 100, 0]) + bytes(4) + b"\x01" +
                           u32(1) + u32(32) + u32(5) + u32(0) + u32(0) + u32(0) + bytes([0x80, 60, 0, 0]) + bytes(4) + b"\x01")
    s["speakers"] = (vst("effSetSpeakerArrangement", extra=u32(1) + u32(2) + u32(1) + u32(2) + b"\x03") +
                     vst("effGetSpeakerArrangement", extra=b"\x03") + v_process(128) +
                     vst("effSetSpeakerArrangement", extra=u32(0) + u32(1) + u32(0) + u32(1) + b"\x03") + v_process(128))
    s["texts"] = (vst("effGetEffectName", buffer=True) + vst("effGetVendorString", buffer=True) +
                  vst("effGetProductString", buffer=True) + vst("effGetInputProperties", 0, buffer=True) +
                  vst("effGetOutputProperties", 1, buffer=True) + vst("effGetMidiKeyName", buffer=True, extra=u32(0) + u32(60)))
    s["can_do"] = b"".join(vst("effCanDo", buffer=True, extra=b"\x01" + bytes([i])) for i in range(5))
    s["automation"] = b"".join(v_set(i, x) + v_get(i) for i, x in ((0, 0.25), (8, 1.0), (9, 0.5), (13, 1.0), (15, 1.0))) + v_process()
    s["identity"] = (vst("effIdentify") + vst("effGetVstVersion") + vst("effGetPlugCategory") +
                     vst("effCanBeAutomated", 3) + vst("effVendorSpecific", 7, 2, 0.5) + vst("effIdle"))
    return s


# ----- fuzz_kestrovane_editor_events -----
# op % 12: 0/1 press (click count 1 or 2), 2-4 drag (bit 6: by [dx][dy] quarter pixels), 5 release
# (bit 6: where the mouse is), 6 move, 7 wheel [point][dy][divisor], 8 right click, 9 timer
# [frames], 10 host parameter [index][value], 11 meter [meter][value]. Bit 7: a modifier byte follows.
# A point [control][x][y] is relative to a control's rectangle, 4 pixels of margin included.

CONTROLS = {  # index: (width, height)
    "attack": (14, 60, 60), "ratio": (15, 60, 60), "release": (16, 60, 60), "knee": (17, 26, 26),
    "rms": (18, 26, 26), "drive": (19, 26, 26), "sag": (20, 26, 26), "parallel": (21, 26, 26),
    "threshold": (22, 407, 8), "range": (23, 407, 8), "compensation": (24, 260, 8), "oversample": (25, 40, 18),
    "sidechain": (26, 40, 18), "topology": (27, 24, 40), "mode": (28, 70, 70),
}


def centre(name):
    i, w, h = CONTROLS[name]
    return bytes([i, 4 + w // 2, 4 + h // 2])


def e_down(name, clicks=1):
    return bytes([0 if clicks == 1 else 1]) + centre(name)


def e_drag_by(dx, dy, times=1):
    # Quarter pixels; window y grows upwards.
    return (bytes([0x40]) + struct.pack("<bb", dx, dy)) * times


def e_up():
    return bytes([0x41])


def e_timer(frames=2):
    return bytes([9, frames - 1])


def e_wheel(name, dy):
    return bytes([7]) + centre(name) + struct.pack("<b", dy) + b"\x00"


def editor_seeds():
    s = {}
    for knob in ("attack", "ratio", "knee", "parallel"):
        s["drag_" + knob] = e_down(knob) + e_drag_by(0, 40, 6) + e_timer() + e_drag_by(0, -60, 3) + e_up() + e_timer()
    s["drag_threshold_fader"] = e_down("threshold") + e_drag_by(100, 0, 4) + e_timer() + e_drag_by(-120, 0, 6) + e_up() + e_timer()
    s["drag_compensation_fader"] = e_down("compensation") + e_drag_by(-80, 0, 3) + e_up() + e_timer(3)
    s["release_double_click"] = e_down("release", 2) + e_up() + e_timer() + e_down("release", 2) + e_up() + e_timer()
    s["switches"] = b"".join(e_down(n) + e_up() + e_timer() for n in ("oversample", "sidechain", "topology", "oversample"))
    s["mode_detents"] = e_down("mode") + e_drag_by(0, 30, 8) + e_timer() + e_drag_by(0, -30, 12) + e_up() + e_timer()
    s["wheel_knobs"] = b"".join(e_wheel(n, d) for n, d in (("attack", 3), ("ratio", -2), ("mode", 1), ("range", 4))) + e_timer()
    s["host_automation"] = b"".join(bytes([10, i, v]) for i, v in ((0, 40), (9, 125), (15, 250), (13, 251), (5, 0))) + e_timer(3)
    s["meters"] = b"".join(bytes([11, m, v]) for m, v in ((0, 200), (1, 128), (2, 60))) + e_timer() + bytes([11, 0, 0]) + e_timer()
    s["right_click_while_dragging"] = e_down("attack") + e_drag_by(0, 20, 2) + bytes([8]) + centre("ratio") + e_drag_by(0, 20, 2) + e_up()
    # 0x84: a press with a modifier byte (8 command, 1 shift); 0xC2: a drag by, with one.
    s["command_click_resets"] = bytes([0x84, 8]) + centre("attack") + e_up() + e_timer()
    s["shift_drag_fine"] = bytes([0x84, 1]) + centre("ratio") + bytes([0xC2, 1, 0, 40]) * 4 + e_up() + e_timer()
    s["drag_out_of_the_editor"] = e_down("parallel") + e_drag_by(0, 127, 10) + e_drag_by(127, 0, 10) + e_up() + e_timer()
    s["move_over_everything"] = b"".join(bytes([6]) + centre(n) for n in CONTROLS) + e_timer()
    s["press_twice_without_release"] = e_down("knee") + e_drag_by(0, 20) + e_down("rms") + e_drag_by(0, 20) + e_up() + e_timer()
    return s


if __name__ == "__main__":
    write("fuzz_kestrovane_au_properties", au_seeds())
    write("fuzz_kestrovane_vst_dispatcher", vst_seeds())
    write("fuzz_kestrovane_editor_events", editor_seeds())
