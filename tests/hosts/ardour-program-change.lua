-- Run by ardour-program-change.sh: a session with the plug-in on a track, one automation lane in
-- Write mode, programs changed from the host while rolling and while stopped.
local backend = AudioEngine:set_backend ("None (Dummy)", "", "")
backend:set_device_name ("Silence")
local s = create_session (os.getenv ("SESSION_DIR"), "kelvo", 48000)
assert (s, "no session")
local tl = Session:new_audio_track (2, 2, nil, 1, "Synth", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
local track = tl:front ()
local proc = ARDOUR.LuaAPI.new_plugin (Session, "Kelvo VST", ARDOUR.PluginType.VST3, "")
assert (not proc:isnil (), "no plug-in")
track:add_processor_by_index (proc, 0, nil, true)
local pi = proc:to_insert ()
local plugin = pi:plugin (0)
local cutoff = 20
local ac = pi:to_automatable ():automation_control (Evoral.Parameter (ARDOUR.AutomationType.PluginAutomation, 0, cutoff), false)
assert (not ac:isnil (), "no control")
ac:set_automation_state (ARDOUR.AutoState.Write)
local list = {}
for i = 0, 127 do
  local ps = plugin:preset_by_uri (string.format ("VST3-P:%s:%04d", plugin:unique_id (), i))
  if ps then list[#list + 1] = ps end
end
print ("programs", #list)
local function value () local v, _ = ARDOUR.LuaAPI.get_plugin_insert_param (pi, cutoff, true); return v end
for _, i in ipairs ({0, 20, 99, 101, 117}) do
  local v, _ = ARDOUR.LuaAPI.get_plugin_insert_param (pi, i, true)
  print ("at load", i, v)
end

-- Each round moves the automated parameter, then the host changes the program.
local function changePrograms (first, last, state)
  for i = first, last do
    ARDOUR.LuaAPI.set_plugin_insert_param (pi, cutoff, 0.05 * i)
    ARDOUR.LuaAPI.usleep (100000)
    plugin:load_preset (list[i])
    ARDOUR.LuaAPI.usleep (150000)
    print (state, "program", i - 1, "cutoff", value ())
  end
end

Session:request_roll (ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep (300000)
print ("rolling", Session:transport_rolling ())
changePrograms (1, 6, "rolling")
Session:request_stop (false, false, ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep (300000)
changePrograms (7, 12, "stopped")
Session:save_state ("", false, false, false, false, false)
print ("saved")
close_session ()
print ("closed")
