-- Run by ardour-session.sh, twice for one format of the plug-in (KELVO_FORMAT: VST3 or LV2).
-- KELVO_STEP=create: a new session; every parameter's name and value at load, one automation lane
-- written in Write mode while the host changes programs (rolling and stopped), every value written
-- to VALUES_FILE, the session saved and closed. KELVO_STEP=reopen: the session opened again (in a
-- new process: this Ardour crashes when a second session opens in the same one), every value
-- compared with the file, the plug-in removed. Lines starting with "name", "at load", "reopened"
-- and "closed" are read by the shell script; an error ends the script with a message.
--
-- Ardour 7.3 keeps values of its own for an LV2's parameters (lv2:Parameter, set by patch:Set):
-- they start at 0 and are not updated from the values the plug-in sends, so the values shown are
-- compared with the plug-in's only for the VST3.
io.stdout:setvbuf ("no")
local format = os.getenv ("KELVO_FORMAT")
local valuesFile = os.getenv ("VALUES_FILE")
local comparesValues = format ~= "LV2"
local numParameters = 185
local automated = 20

local backend = AudioEngine:set_backend ("None (Dummy)", "", "")
backend:set_device_name ("Silence")

local function wait (ms) ARDOUR.LuaAPI.usleep (ms * 1000) end

-- The plug-in's own parameters by index: VST3 numbers them, LV2 names them by their URI.
local function controls (pi)
  local found = {}
  local auto = pi:to_automatable ()
  for p in auto:all_automatable_params ():iter () do
    local ac = auto:automation_control (p, false)
    local index
    if format == "LV2" then
      local id = ac:name ():match ("urn:marvex:kelvo:p(%d%d%d)$")
      index = id and tonumber (id)
    elseif p:type () == ARDOUR.AutomationType.PluginAutomation and p:id () < numParameters then
      index = p:id ()
    end
    if index then found[index] = ac end
  end
  for i = 0, numParameters - 1 do assert (found[i], "no control for parameter " .. i) end
  return found
end

local function values (found)
  local v = {}
  for i = 0, numParameters - 1 do v[i] = found[i]:get_value () end
  return v
end

if os.getenv ("KELVO_STEP") == "create" then
assert (create_session (os.getenv ("SESSION_DIR"), "kelvo", 48000), "no session")
local tl = Session:new_audio_track (2, 2, nil, 1, "Synth", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
local track = tl:front ()
local proc
if format == "LV2" then
  proc = ARDOUR.LuaAPI.new_plugin (Session, "urn:marvex:kelvo", ARDOUR.PluginType.LV2, "")
else
  proc = ARDOUR.LuaAPI.new_plugin (Session, "Kelvo VST", ARDOUR.PluginType.VST3, "")
end
assert (not proc:isnil (), "the plug-in was not found")
track:add_processor_by_index (proc, 0, nil, true)
local pi = proc:to_insert ()
local plugin = pi:plugin (0)
-- An LV2 host hears the values with the first blocks.
wait (500)

local found = controls (pi)
local atLoad = values (found)
for i = 0, numParameters - 1 do
  local d = found[i]:desc ()
  print ("name", i, d.label)
  -- A fresh instance holds the initial program, whose values are the parameters' defaults.
  assert (not comparesValues or math.abs (atLoad[i] - d.normal) < 1e-4,
          string.format ("parameter %d shows %g at load, its default is %g", i, atLoad[i], d.normal))
end
for _, i in ipairs ({0, 20, 99, 101, 117}) do print ("at load", i, string.format ("%.4g", atLoad[i])) end

-- Programs, where the format has them (VST3); the LV2 lists none.
local programs = {}
if format ~= "LV2" then
  for i = 0, 127 do
    local ps = plugin:preset_by_uri (string.format ("VST3-P:%s:%04d", plugin:unique_id (), i))
    if ps then programs[#programs + 1] = ps end
  end
  assert (#programs == 128, "programs: " .. #programs)
end

local ac = found[automated]
ac:set_automation_state (ARDOUR.AutoState.Write)
local function rounds (first, last)
  for i = first, last do
    ac:set_value (0.05 * i, PBD.GroupControlDisposition.NoGroup)
    wait (100)
    if #programs > 0 then plugin:load_preset (programs[i]) end
    wait (150)
  end
end
Session:request_roll (ARDOUR.TransportRequestSource.TRS_UI)
wait (300)
rounds (1, 6)
Session:request_stop (false, false, ARDOUR.TransportRequestSource.TRS_UI)
wait (300)
rounds (7, 12)
ac:set_automation_state (ARDOUR.AutoState.Off)
wait (300)

local saved = assert (io.open (valuesFile, "w"))
for i, v in pairs (values (found)) do saved:write (i, " ", string.format ("%.9g", v), "\n") end
saved:close ()
Session:save_state ("", false, false, false, false, false)
close_session ()
print ("closed")

else
assert (load_session (os.getenv ("SESSION_DIR"), "kelvo"), "the session did not open again")
wait (500)
local route = Session:route_by_name ("Synth")
assert (not route:isnil (), "no track after reopening")
local proc = route:nth_plugin (0)
assert (not proc:isnil (), "no plug-in after reopening")
local pi = proc:to_insert ()
local after = values (controls (pi))
local before = {}
for line in io.lines (valuesFile) do
  local i, v = line:match ("^(%d+) (%S+)$")
  before[tonumber (i)] = tonumber (v)
end
for i = 0, numParameters - 1 do
  assert (not comparesValues or math.abs (after[i] - before[i]) < 1e-4,
          string.format ("parameter %d was %g when saved, %g when reopened", i, before[i], after[i]))
end
print ("reopened", comparesValues and "values equal" or "values not compared")

route:remove_processor (proc, nil, true)
wait (200)
close_session ()
print ("closed")
end
