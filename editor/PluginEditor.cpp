#include "editor/PluginEditor.h"

#include "editor/EditorLayout.h"
#include "editor/SimBrowser.h"
#include "editor/artwork/Artwork.h"
#include "params/DeviceTable.h"
#include "params/LoFiSteps.h"
#include "params/ParameterTable.h"
#include "params/ValueLists.h"
#include "platform/ModuleState.h"
#include "widgets/Slider_Orvex.h"

#include <cmath>
#include <cstdlib>

namespace
{
using EditorLayout::Look;

const juce::Colour kWhite{0xFFFFFFFF};
const juce::Colour kBlack{0xFF000000};

juce::Image image(const char* name)
{
    return Artwork::decodeNamed(name);
}

juce::Rectangle<int> toJuce(const EditorLayout::Rect& r)
{
    return {r.x, r.y, r.w, r.h};
}

juce::Rectangle<int> layoutBounds(const char* id)
{
    const EditorLayout::Control* control = EditorLayout::findControl(id);
    jassert(control != nullptr);
    return control != nullptr ? toJuce(control->bounds) : juce::Rectangle<int>();
}

bool isKnobLook(Look look)
{
    return look == Look::BrushedLarge || look == Look::BrushedSmall || look == Look::KnurledLarge ||
           look == Look::KnurledSmall || look == Look::RidgeLarge || look == Look::RidgeSmall ||
           look == Look::DistortionMeter;
}

// The value-to-position law of each knob and slider: frequencies and times turn
// logarithmically, the noise level as a fader, the lo-fi list sliders in even steps.
std::unique_ptr<Slider_Orvex> makeSlider(ParameterId id)
{
    switch (id)
    {
    case ParamId::FiltersHPFFreq:
    case ParamId::FiltersLPFFreq:
    case ParamId::EQFreq:
    case ParamId::NoiseHPFFreq:
    case ParamId::NoiseLPFFreq:
    case ParamId::NoiseRecovery:
    case ParamId::GateAttackTime:
    case ParamId::GateHoldTime:
    case ParamId::GateReleaseTime: return std::make_unique<Slider_Orvex_Log>();
    case ParamId::NoiseLevel: return std::make_unique<Slider_Orvex_Fader>();
    case ParamId::LoFiDownSampleIndex:
    case ParamId::LoFiBitDepthType: return std::make_unique<Slider_Orvex_Discrete>();
    default: return std::make_unique<Slider_Orvex>();
    }
}

// The lit image of a radio button, by the suffix of its layout id.
const char* radioImage(const std::string& id)
{
    const std::string suffix = id.substr(id.find('.') + 1);
    if (suffix == "12") return "_12dB_Button_on_png";
    if (suffix == "24") return "_24dB_Button_on_png";
    if (suffix == "HPF") return "HPF_Button_on_png";
    if (suffix == "EQ") return "EQ_Button_on_png";
    return "LPF_Button_on_png";
}

// A whole number as typed: leading white space, an optional sign, decimal digits up to the
// first other character; 0 without digits.
long typedWholeNumber(const juce::String& text)
{
    return std::strtol(text.toRawUTF8(), nullptr, 10);
}
} // namespace

PluginEditor::PluginEditor(AudioProcessor* store, float displayScale)
    : AudioProcessorEditor_Orvex(store, displayScale)
{
    setSize(static_cast<int>(EditorLayout::kCanvasWidth * displayScale),
            static_cast<int>(EditorLayout::kCanvasHeight * displayScale));
    // One decoded strip serves the SIM menu's look and the picture (images share their pixels).
    m_simStrip = image("SIM_Strip_r1_png");
    setUpLooks();
    addControls();
    m_metering = std::make_unique<EditorMetering>(*this);
    addPlots();

    m_simPicture.setImagePlacement(juce::RectanglePlacement::stretchToFit);
    place("SIMType.picture", &m_simPicture);
    refreshSimPicture();

    timerCallback();
    startTimer(kRefreshIntervalMs);
}

PluginEditor::~PluginEditor()
{
    stopTimer();
}

void PluginEditor::setUpLooks()
{
    struct Filmstrip
    {
        Look look;
        const char* image;
        int frames;
    };
    const Filmstrip filmstrips[] = {
        {Look::BrushedLarge, "Knobs_Brushed_large_png", 61}, {Look::BrushedSmall, "Knobs_Brushed_small_png", 61},
        {Look::KnurledLarge, "Knobs_Knurled_large_png", 61}, {Look::KnurledSmall, "Knobs_Knurled_small_png", 61},
        {Look::RidgeLarge, "Knobs_Ridge_large_png", 61},     {Look::RidgeSmall, "Knobs_Ridge_small_png", 61},
        {Look::DistortionMeter, "DistortionMeter_png", 10},
    };
    for (const Filmstrip& f : filmstrips)
        m_looks[static_cast<std::size_t>(f.look)].setKnobFilmstrip(image(f.image), f.frames, 0);
    m_looks[static_cast<std::size_t>(Look::SimMenu)].setKnobFilmstrip(m_simStrip, static_cast<int>(kDeviceCount), 0);

    // The faders take their length from the controls that use them.
    for (const auto& [look, id] : {std::pair{Look::LongFader, "SIMTuning"}, std::pair{Look::ShortFader, "LoFiFilter"}})
    {
        LookAndFeel_Orvex& fader = m_looks[static_cast<std::size_t>(look)];
        const juce::Rectangle<int> b = layoutBounds(id);
        fader.setSliderImages(image("Band_Fader_Fill_png"), image("Band_Fader_Cap_png"));
        fader.setControlSize(b.getWidth(), b.getHeight());
        fader.setFillReference(2, 0);
    }

    // Pop-up menus follow the screen's density, except the ridge knobs' and the faders'.
    for (Look look : {Look::BrushedLarge, Look::BrushedSmall, Look::KnurledLarge, Look::KnurledSmall,
                      Look::DistortionMeter, Look::SimMenu})
        m_looks[static_cast<std::size_t>(look)].menuScale = getDisplayScale();
}

void PluginEditor::place(const std::string& layoutId, juce::Component* control)
{
    control->setBounds(layoutBounds(layoutId.c_str()));
    addAndMakeVisible(control);
    m_byId[layoutId] = control;
}

void PluginEditor::addControls()
{
    AudioProcessor& store = *getProcessor();
    for (const EditorLayout::Control& c : EditorLayout::controls())
    {
        if (c.parameter == nullptr || c.look == Look::Picture)
            continue;
        const ParameterDefinition* def = findParameterByName(c.parameter);
        jassert(def != nullptr);
        const ParameterId id = def->id;
        const juce::Point<int> at{c.bounds.x, c.bounds.y};
        juce::Component* made = nullptr;
        Kind kind = Kind::Slider;
        // Takes a made control into the editor as the one bound to this parameter.
        const auto keep = [&](auto control, Kind as) {
            made = control.get();
            kind = as;
            m_controls.push_back(std::move(control));
        };

        if (isKnobLook(c.look) || c.look == Look::LongFader || c.look == Look::ShortFader)
        {
            auto slider = makeSlider(id);
            LookAndFeel_Orvex& look = m_looks[static_cast<std::size_t>(c.look)];
            if (isKnobLook(c.look))
                addRotaryKnob(*slider, id, at, look);
            else
                addLinearSlider(*slider, id, at, look);
            keep(std::move(slider), Kind::Slider);
        }
        else
            switch (c.look)
            {
            case Look::ValueLabelLight:
            case Look::ValueLabelDark: {
                auto label = std::make_unique<juce::Label>();
                if (c.look == Look::ValueLabelDark)
                    addValueLabel(*label, id, at, 0, kBlack);
                else
                    addValueLabel(*label, id, at);
                keep(std::move(label), Kind::Label);
                break;
            }
            case Look::EnableLamp:
            case Look::EnableButton: {
                auto button = std::make_unique<juce::ImageButton>();
                addToggleButton(*button, id, at, {},
                                image(c.look == Look::EnableLamp ? "Enable_LED_on_png" : "Enable_on_png"));
                keep(std::move(button), Kind::Toggle);
                break;
            }
            case Look::StepUp:
            case Look::StepDown: {
                const bool up = c.look == Look::StepUp;
                auto button = std::make_unique<juce::ImageButton>();
                addStepButton(*button, id, up ? 1.0f : -1.0f, at,
                              image(up ? "SIM_Increment_Button_png" : "SIM_Decrement_Button_png"),
                              image(up ? "SIM_Increment_Button_pressed_png" : "SIM_Decrement_Button_pressed_png"));
                m_byId[c.id] = button.get();
                m_controls.push_back(std::move(button));
                continue; // nothing to refresh
            }
            case Look::RadioButton: {
                const int group = id == ParamId::FiltersHPFSlope ? 1 : id == ParamId::FiltersLPFSlope ? 2 : 3;
                int position = 0;
                for (const EditorLayout::Control& other : EditorLayout::controls())
                {
                    if (&other == &c)
                        break;
                    if (other.parameter != nullptr && std::string(other.parameter) == c.parameter)
                        ++position;
                }
                addRadioButton(c.id, id, position, group, image(radioImage(c.id)));
                continue;
            }
            case Look::ComboBox: {
                auto box = std::make_unique<juce::ComboBox>();
                addComboBox(*box, id, at, c.bounds.w, c.bounds.h, kWhite,
                            &m_looks[static_cast<std::size_t>(Look::BrushedLarge)]);
                box->setSelectedItemIndex(store.getParameterListIndex(id), juce::sendNotificationAsync);
                keep(std::move(box), Kind::ListBox);
                break;
            }
            case Look::SimMenu: addSimMenu(toJuce(c.bounds)); continue;
            default: continue;
            }
        m_byId[c.id] = made;
        m_bindings.push_back({made, id, kind, 0});
    }
}

void PluginEditor::addRadioButton(const char* layoutId, ParameterId id, int position, int group,
                                  const juce::Image& lit)
{
    auto button = std::make_unique<juce::ImageButton>();
    button->getProperties().set(editor_keys::index, id);
    button->getProperties().set(editor_keys::explicitValue, position);
    button->setClickingTogglesState(true);
    button->setTriggeredOnMouseDown(false);
    button->setRadioGroupId(group);
    const juce::Colour clear{0x00FFFFFF};
    button->setImages(false, true, false, juce::Image(), 1.0f, clear, juce::Image(), 1.0f, clear, lit, 1.0f, clear,
                      0.0f);
    button->setToggleState(getProcessor()->getParameterListIndex(id) == position, juce::dontSendNotification);
    button->addListener(this);
    place(layoutId, button.get());
    m_bindings.push_back({button.get(), id, Kind::Radio, position});
    m_controls.push_back(std::move(button));
}

void PluginEditor::addSimMenu(const juce::Rectangle<int>& bounds)
{
    auto menu = std::make_unique<juce::ComboBox>();
    addAndMakeVisible(*menu);
    menu->setLookAndFeel(&m_looks[static_cast<std::size_t>(Look::SimMenu)]);
    menu->getProperties().set(editor_keys::index, ParamId::SIMType);
    menu->setBounds(bounds);
    menu->setEditableText(false);
    menu->setJustificationType(juce::Justification::centredTop);
    menu->setColour(juce::ComboBox::textColourId, kWhite);
    SimBrowser::fillMenu(*menu, getProcessor()->getParameterValueList(ParamId::SIMType));
    menu->addListener(this);
    menu->setSelectedId(getProcessor()->getParameterListIndex(ParamId::SIMType) + 1, juce::sendNotificationAsync);
    m_byId["SIMType.menu"] = menu.get();
    m_bindings.push_back({menu.get(), ParamId::SIMType, Kind::SimMenu, 0});
    m_controls.push_back(std::move(menu));
}

void PluginEditor::addPlots()
{
    place("Plot.main", &m_mainPlot);
    m_mainPlot.setDbRange(18.0);
    m_mainPlot.setCurveOpacity(0.6f);
    m_mainPlot.setCurveCount(3, true, false);
    m_mainPlot.setCurveColour(juce::Colour(0xFF9B0000), 0);
    m_mainPlot.setCurveColour(juce::Colour(0xFF9B0000), 1);
    m_mainPlot.setCurveColour(juce::Colour(0xFFDCDC0C), 2);

    place("Plot.noise", &m_noisePlot);
    m_noisePlot.setDbRange(8.25);
    m_noisePlot.setDbOffset(3.5);
    m_noisePlot.setCurveOpacity(0.6f);
    m_noisePlot.setCurveCount(2, true, false);
    m_noisePlot.setCurveColour(juce::Colour(0xFFDCDCDC), 0);
    m_noisePlot.setCurveColour(juce::Colour(0xFFDCDCDC), 1);
}

juce::Component* PluginEditor::findControl(const std::string& layoutId) const
{
    const auto it = m_byId.find(layoutId);
    return it != m_byId.end() ? it->second : nullptr;
}

void PluginEditor::paint(juce::Graphics& g)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    g.setColour(kWhite);
    g.setOpacity(1.0f);
    g.drawImageAt(m_metering->background(), 0, 0);
}

void PluginEditor::timerCallback()
{
    if (isRefreshPending())
        refresh();
    updateMeters();
}

void PluginEditor::refresh()
{
    AudioProcessor& store = *getProcessor();
    for (const Binding& b : m_bindings)
        switch (b.kind)
        {
        case Kind::Slider:
            static_cast<juce::Slider*>(b.control)->setValue(store.getParameterValue(b.id), juce::dontSendNotification);
            break;
        case Kind::Label: {
            auto* label = static_cast<juce::Label*>(b.control);
            if (!label->isBeingEdited())
                label->setText(store.getParameterText(b.id), juce::dontSendNotification);
            break;
        }
        case Kind::Toggle:
            static_cast<juce::Button*>(b.control)->setToggleState(store.getParameterBool(b.id),
                                                                   juce::dontSendNotification);
            break;
        case Kind::ListBox:
            static_cast<juce::ComboBox*>(b.control)->setSelectedItemIndex(store.getParameterListIndex(b.id),
                                                                          juce::dontSendNotification);
            break;
        case Kind::SimMenu:
            static_cast<juce::ComboBox*>(b.control)->setSelectedId(store.getParameterListIndex(b.id) + 1,
                                                                   juce::dontSendNotification);
            break;
        case Kind::Radio:
            if (store.getParameterListIndex(b.id) == b.position)
                static_cast<juce::Button*>(b.control)->setToggleState(true, juce::dontSendNotification);
            break;
        }
    refreshPlots();
    refreshSimPicture();
    setRefreshPending(false);
    ++m_refreshCount;
}

void PluginEditor::refreshPlots()
{
    AudioProcessor& s = *getProcessor();
    auto value = [&s](ParameterId id) { return static_cast<double>(s.getParameterDisplayValue(id)); };
    auto whole = [&s](ParameterId id) { return static_cast<int>(s.getParameterDisplayValue(id)); };
    auto bypassed = [&s](ParameterId id) { return s.getParameterDisplayValue(id) == 0.0f; };

    BiquadCoefs first, second, single;
    C_Crumlet_Calculator& main = m_mainPlot.calculator();
    main.CalcHPF(value(ParamId::FiltersHPFFreq), value(ParamId::FiltersHPFQ), whole(ParamId::FiltersHPFSlope),
                 bypassed(ParamId::FiltersEnable), first, second);
    m_mainPlot.setCurveBiquadPair(first, second, 0);
    main.CalcLPF(value(ParamId::FiltersLPFFreq), value(ParamId::FiltersLPFQ), whole(ParamId::FiltersLPFSlope),
                 bypassed(ParamId::FiltersEnable), first, second);
    m_mainPlot.setCurveBiquadPair(first, second, 1);
    main.CalcEQ(value(ParamId::EQFreq), value(ParamId::EQQ), value(ParamId::EQGain), whole(ParamId::EQFilterType),
                bypassed(ParamId::EQEnable), single);
    m_mainPlot.setCurveBiquad(single, 2);

    C_Crumlet_Calculator& noise = m_noisePlot.calculator();
    noise.CalcNoiseHPF(value(ParamId::NoiseHPFFreq), bypassed(ParamId::NoiseEnable), single);
    m_noisePlot.setCurveBiquad(single, 0);
    noise.CalcNoiseLPF(value(ParamId::NoiseLPFFreq), bypassed(ParamId::NoiseEnable), single);
    m_noisePlot.setCurveBiquad(single, 1);
}

void PluginEditor::refreshSimPicture()
{
    const int device = getProcessor()->getParameterListIndex(ParamId::SIMType);
    if (device == m_shownDevice)
        return;
    m_shownDevice = device;
    m_simPicture.setImage(SimBrowser::picture(m_simStrip, device));
}

void PluginEditor::updateMeters()
{
    m_metering->take(m_meterRecords);
    m_metering->advance();
}

void PluginEditor::monitorDataReceived(const MonitorBlock* block, bool byteSwap)
{
    if (block == nullptr)
        return;
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    m_meterRecords.fold(block->data, byteSwap);
}

void PluginEditor::labelTextChanged(juce::Label* label)
{
    const juce::var* index = label->getProperties().getVarPointer(editor_keys::index);
    const int id = index != nullptr ? static_cast<int>(*index) : -1;
    if (id != ParamId::LoFiDownSampleIndex && id != ParamId::LoFiBitDepthType)
    {
        AudioProcessorEditor_Orvex::labelTextChanged(label);
        return;
    }
    setRefreshPending(true);
    const long typed = typedWholeNumber(label->getText());
    float value = 0.0f; // "Off"
    if (id == ParamId::LoFiDownSampleIndex)
    {
        const std::vector<std::string> texts = valueListOf(id);
        for (std::size_t i = 1; i < texts.size(); ++i)
            if (std::strtol(texts[i].c_str(), nullptr, 10) == typed)
                value = static_cast<float>(i);
    }
    else if (typed >= 2 && typed <= 16)
        value = static_cast<float>(depthTypeForBits(static_cast<int>(typed)));
    getProcessor()->setParameterValue(id, value);
}
