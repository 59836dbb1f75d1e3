// The device families: one drawing per family, its variants chosen by Device::style.
#pragma once

#include "devices/DeviceKit.h"

namespace Devices
{
using Family = void(juce::Graphics&, R area, const Device&);

// Phones.cpp
enum DeskStyle { DeskModern, DeskEuro, DeskBusiness, DeskClassic, DeskCradle, DeskPush, DeskRotary, DeskStudio };
enum WallStyle { WallStation, WallClassic };
enum HandsetStyle { HandsetOld, HandsetTranslucent };
Family deskPhone, candlestickPhone, wallPhone, loneHandset, cordlessPhone, conferencePhone, faxMachine, answeringMachine;

// CellPhones.cpp
enum CellStyle { CellCandyBar, CellBudget, CellBeatUp, CellSmart, CellBroken, CellFlip, CellPocket, CellBrick };
Family cellPhone;

// Headwear.cpp
enum HeadphoneStyle { PhonesPadded, PhonesRetro, PhonesCanceling, PhonesStudioClosed, PhonesCool, PhonesPlain,
                      PhonesOpenBack, PhonesIso, PhonesDefender };
enum EarbudStyle { BudsTangled, BudsFlatCable, BudsCrystal, BudsTinny, BudsClips, BudsWireless, BudsNameless,
                   BudsMonitors, BudsInEar };
enum HeadsetStyle { HeadsetCheap, HeadsetOperator, HeadsetCallCentre, HeadsetGamer };
Family headphones, earbuds, headset, pillowSpeaker;

// Speakers.cpp
enum CabinetStyle { CabinetVintage, CabinetCube, CabinetSatellite, CabinetBookshelf, CabinetModern };
enum DriverStyle { DriverBare, DriverCoin, DriverTwoInch, DriverOneInch, DriverPiezo };
enum PairStyle { PairTallActive, PairFloorstanders, PairLargeMonitors, PairDesktopActive, PairClothGrille,
                 PairMonitorsPorted, PairCylinders, PairSmallWood, PairSmallMonitors };
enum SubStyle { SubCube, SubTall, SubRound };
Family cabinetSpeaker, driver, speakerPair, subwoofer, surroundSet, hornSpeaker, portableSpeaker, guitarAmp;

// Radios.cpp
enum TubeRadioStyle { TubeCathedral, TubeTombstone };
enum PortableStyle { PortableLeather, PortableEmergency };
enum BoomboxStyle { BoomSilver, BoomBlackEq, BoomMono, BoomStereoTwin, BoomAm };
enum ClockStyle { ClockCube, ClockStereo };
enum TapeStyle { TapePersonal, TapeShoebox };
Family tubeRadio, valve, portableRadio, transistorRadio, globeRadio, clockRadio, alarmClock, boombox, tapePlayer;

// Screens.cpp
enum TvStyle { TvTinyCrt, TvWoodColour, TvFlatStand, TvFlatWall, TvConsole, TvWidescreen, TvLargeCrt };
Family television, dvdPlayer, camcorder;

// Vehicles.cpp
enum HeadUnitStyle { HeadUnitClassic, HeadUnitDigital, HeadUnitVan, HeadUnitTruck };
enum CarStyle { CarLowrider, CarOffroader, CarHatchback, CarTeardrop };
Family headUnit, car;

// Containers.cpp
enum TrashStyle { TrashMetal, TrashWheelie };
enum JarStyle { JarMason, JarJam, JarPickle };
enum PailStyle { PailNew, PailDented };
enum TubeStyle { TubeHose, TubePvc, TubeWand };
Family trashCan, drinkingGlass, glassJar, pail, tinCan, washTub, waterCooler, tube;

// Toys.cpp
enum ToyPhoneStyle { ToyPhoneChunky, ToyFlipOpen, ToyFlipClosed };
Family toySpeaker, toyMic, karaokeToy, toyGuitar, kidsPod, cashRegister, shoppingCart, toyPhone, learningToy, workSurface;

// Wireless.cpp
enum WalkieStyle { WalkieBlue, WalkieHandheldCb, WalkieSlim, WalkieTiny, WalkieToy, WalkieVintage };
enum CbStyle { CbCheap, CbModern, CbExternalSpeaker };
enum MonitorStyle { MonitorAnalog, MonitorDigital };
enum IntercomStyle { IntercomWall, IntercomTabletop };
enum MegaphoneStyle { MegaphonePistol, MegaphoneLong, MegaphoneTrigger };
Family walkieTalkie, cbRadio, babyMonitor, intercom, megaphone;
} // namespace Devices
