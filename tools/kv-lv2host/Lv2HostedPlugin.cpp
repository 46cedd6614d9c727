#include "Lv2HostedPlugin.h"

#include <lv2/atom/atom.h>
#include <lv2/resize-port/resize-port.h>

#include <algorithm>
#include <cmath>

#include "param_options.h"

namespace
{
constexpr int kSequenceBytes = 8192;  // atom buffers, unless a port asks for more
constexpr const char* kIsSideChain = LV2_CORE_PREFIX "isSideChain";

// The text of a node lilv hands over, freed; empty for none.
std::string TakeString(LilvNode* node)
{
  std::string s = node ? lilv_node_as_string(node) : "";
  lilv_node_free(node);
  return s;
}
}  // namespace

struct Lv2HostedPlugin::Nodes
{
  explicit Nodes(LilvWorld* world)
    : audio(lilv_new_uri(world, LV2_CORE__AudioPort)), cv(lilv_new_uri(world, LV2_CORE__CVPort)),
      control(lilv_new_uri(world, LV2_CORE__ControlPort)), atom(lilv_new_uri(world, LV2_ATOM__AtomPort)),
      input(lilv_new_uri(world, LV2_CORE__InputPort)), output(lilv_new_uri(world, LV2_CORE__OutputPort)),
      sideChain(lilv_new_uri(world, kIsSideChain)), optional(lilv_new_uri(world, LV2_CORE__connectionOptional)),
      minimumSize(lilv_new_uri(world, LV2_RESIZE_PORT__minimumSize))
  {
  }
  ~Nodes()
  {
    for (LilvNode* n : { audio, cv, control, atom, input, output, sideChain, optional, minimumSize }) lilv_node_free(n);
  }
  Nodes(const Nodes&) = delete;
  Nodes& operator=(const Nodes&) = delete;

  LilvNode *audio, *cv, *control, *atom, *input, *output, *sideChain, *optional, *minimumSize;
};

Lv2HostedPlugin::Lv2HostedPlugin() : mWorld(lilv_world_new())
{
  lilv_world_load_all(mWorld);
  mNodes = std::make_unique<Nodes>(mWorld);
}

Lv2HostedPlugin::~Lv2HostedPlugin()
{
  if (mActive) Deactivate();
  if (mInstance) lilv_instance_free(mInstance);
  mNodes.reset();
  lilv_world_free(mWorld);
}

std::vector<Lv2HostedPlugin::Listed> Lv2HostedPlugin::ListPlugins() const
{
  std::vector<Listed> out;
  const LilvPlugins* plugins = lilv_world_get_all_plugins(mWorld);
  LILV_FOREACH (plugins, it, plugins)
  {
    const LilvPlugin* p = lilv_plugins_get(plugins, it);
    out.push_back({ lilv_node_as_uri(lilv_plugin_get_uri(p)), TakeString(lilv_plugin_get_name(p)) });
  }
  std::sort(out.begin(), out.end(), [](const Listed& a, const Listed& b) { return a.uri < b.uri; });
  return out;
}

bool Lv2HostedPlugin::Load(const std::string& uri, double sampleRate, int maxBlock, std::string* pError)
{
  LilvNode* uriNode = lilv_new_uri(mWorld, uri.c_str());
  mPlugin = uriNode ? lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), uriNode) : nullptr;
  lilv_node_free(uriNode);
  if (!mPlugin)
  {
    *pError = "no LV2 plug-in has the URI " + uri + " (--list shows those installed)";
    return false;
  }
  if (!lilv_plugin_verify(mPlugin))
  {
    *pError = uri + ": the plug-in's description is incomplete";
    return false;
  }
  if (!CheckFeatures(pError)) return false;

  mFeatures = std::make_unique<Lv2HostFeatures>(sampleRate, maxBlock, kSequenceBytes);
  mSequenceType = mFeatures->Map(LV2_ATOM__Sequence);
  mChunkType = mFeatures->Map(LV2_ATOM__Chunk);
  mInstance = lilv_plugin_instantiate(mPlugin, sampleRate, mFeatures->Features());
  if (!mInstance)
  {
    *pError = uri + ": the plug-in did not instantiate";
    return false;
  }
  return ConnectPorts(maxBlock, pError);
}

bool Lv2HostedPlugin::CheckFeatures(std::string* pError) const
{
  std::string missing;
  LilvNodes* required = lilv_plugin_get_required_features(mPlugin);
  LILV_FOREACH (nodes, it, required)
  {
    const std::string f = lilv_node_as_uri(lilv_nodes_get(required, it));
    if (!Lv2HostFeatures::Offers(f)) missing += (missing.empty() ? "" : ", ") + f;
  }
  lilv_nodes_free(required);
  if (missing.empty()) return true;
  *pError = Uri() + ": the plug-in requires features this host does not offer: " + missing;
  return false;
}

bool Lv2HostedPlugin::ConnectPorts(int maxBlock, std::string* pError)
{
  const uint32_t nPorts = lilv_plugin_get_num_ports(mPlugin);
  std::vector<float> mins(nPorts), maxs(nPorts), defaults(nPorts);
  lilv_plugin_get_port_ranges_float(mPlugin, mins.data(), maxs.data(), defaults.data());
  mControlValues.assign(nPorts, 0.0f);
  mBuffers.reserve(nPorts);

  for (uint32_t i = 0; i < nPorts; ++i)
  {
    const LilvPort* port = lilv_plugin_get_port_by_index(mPlugin, i);
    const std::string symbol = lilv_node_as_string(lilv_port_get_symbol(mPlugin, port));
    const bool isInput = lilv_port_is_a(mPlugin, port, mNodes->input);
    if (!isInput && !lilv_port_is_a(mPlugin, port, mNodes->output))
    {
      *pError = Uri() + ": port \"" + symbol + "\" is neither an input nor an output";
      return false;
    }
    void* where = nullptr;
    if (lilv_port_is_a(mPlugin, port, mNodes->audio) || lilv_port_is_a(mPlugin, port, mNodes->cv))
    {
      mBuffers.emplace_back((size_t)maxBlock, 0.0f);
      where = mBuffers.back().data();
      if (lilv_port_is_a(mPlugin, port, mNodes->cv)) ++mNumCv;
      else
      {
        const bool sideChain = lilv_port_has_property(mPlugin, port, mNodes->sideChain);
        auto& main = isInput ? mMainIn : mMainOut;
        ++(isInput ? mNumAudioIn : mNumAudioOut);
        if (sideChain) ++mNumSidechains;
        else if ((int)main.size() < kMaxMainChannels) main.push_back(mBuffers.size() - 1);
      }
    }
    else if (lilv_port_is_a(mPlugin, port, mNodes->control))
    {
      where = &mControlValues[i];
      if (!isInput)
      {
        ++mNumControlOut;
      }
      else
      {
        const float def = !std::isnan(defaults[i]) ? defaults[i] : !std::isnan(mins[i]) ? mins[i] : 0.0f;
        mControlValues[i] = def;
        Control c{ i, symbol, TakeString(lilv_port_get_name(mPlugin, port)), mins[i], maxs[i], {} };
        LilvScalePoints* points = lilv_port_get_scale_points(mPlugin, port);
        LILV_FOREACH (scale_points, it, points)
        {
          const LilvScalePoint* sp = lilv_scale_points_get(points, it);
          c.scalePoints.emplace_back(lilv_node_as_float(lilv_scale_point_get_value(sp)),
                                     lilv_node_as_string(lilv_scale_point_get_label(sp)));
        }
        lilv_scale_points_free(points);
        mControls.push_back(std::move(c));
      }
    }
    else if (lilv_port_is_a(mPlugin, port, mNodes->atom))
    {
      int bytes = kSequenceBytes;
      if (LilvNode* min = lilv_port_get(mPlugin, port, mNodes->minimumSize))
      {
        bytes = std::max(bytes, lilv_node_as_int(min));
        lilv_node_free(min);
      }
      bytes = (bytes + 7) / 8 * 8;
      auto& list = isInput ? mAtomIn : mAtomOut;
      list.emplace_back((size_t)bytes / 8, 0);
      auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(list.back().data());
      // An input holds an empty sequence for good; an output is given its capacity before each run.
      seq->atom.size = isInput ? (uint32_t)sizeof(LV2_Atom_Sequence_Body) : (uint32_t)(bytes - sizeof(LV2_Atom));
      seq->atom.type = isInput ? mSequenceType : mChunkType;
      where = seq;
    }
    else if (!lilv_port_has_property(mPlugin, port, mNodes->optional))
    {
      *pError = Uri() + ": port \"" + symbol + "\" is of a kind this host does not connect";
      return false;
    }
    lilv_instance_connect_port(mInstance, i, where);
  }
  return true;
}

std::string Lv2HostedPlugin::Uri() const
{
  return mPlugin ? lilv_node_as_uri(lilv_plugin_get_uri(mPlugin)) : "";
}

std::string Lv2HostedPlugin::Name() const
{
  return TakeString(lilv_plugin_get_name(mPlugin));
}

std::string Lv2HostedPlugin::Author() const
{
  return TakeString(lilv_plugin_get_author_name(mPlugin));
}

std::string Lv2HostedPlugin::BundlePath() const
{
  char* path = lilv_file_uri_parse(lilv_node_as_uri(lilv_plugin_get_bundle_uri(mPlugin)), nullptr);
  const std::string s = path ? path : "";
  lilv_free(path);
  return s;
}

std::string Lv2HostedPlugin::PortSummary() const
{
  std::string s = std::to_string(mNumAudioIn) + " audio in";
  if (mNumSidechains) s += " (" + std::to_string(mNumSidechains) + " sidechain, fed silence)";
  s += ", " + std::to_string(mNumAudioOut) + " audio out, " + std::to_string(mControls.size()) + " control in, " +
       std::to_string(mNumControlOut) + " control out";
  if (mNumCv) s += ", " + std::to_string(mNumCv) + " CV";
  if (!mAtomIn.empty() || !mAtomOut.empty())
    s += ", " + std::to_string(mAtomIn.size()) + " atom in, " + std::to_string(mAtomOut.size()) + " atom out";
  return s;
}

int Lv2HostedPlugin::FindControl(const std::string& symbolOrName) const
{
  for (size_t i = 0; i < mControls.size(); ++i)
    if (mControls[i].symbol == symbolOrName) return (int)i;
  for (size_t i = 0; i < mControls.size(); ++i)
    if (kvtool::SameText(mControls[i].symbol, symbolOrName) || kvtool::SameText(mControls[i].name, symbolOrName))
      return (int)i;
  return -1;
}

void Lv2HostedPlugin::Activate()
{
  if (mActive) return;
  lilv_instance_activate(mInstance);
  mActive = true;
}

void Lv2HostedPlugin::Deactivate()
{
  if (!mActive) return;
  lilv_instance_deactivate(mInstance);
  mActive = false;
}

void Lv2HostedPlugin::Run(int nFrames)
{
  for (auto& words : mAtomOut)
  {
    auto* atom = reinterpret_cast<LV2_Atom*>(words.data());
    atom->size = (uint32_t)(words.size() * sizeof(uint64_t) - sizeof(LV2_Atom));
    atom->type = mChunkType;
  }
  lilv_instance_run(mInstance, (uint32_t)nFrames);
}
