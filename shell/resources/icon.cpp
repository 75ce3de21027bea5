// Icon IDR_MAINFRAME: a shaded pink surface patch, seen from above at an angle, on a dark
// rounded tile. Two images of 16 colours, as XPM rows.
#include "shell/resources/resources.h"

namespace kavelo::resources {

namespace {

const char* const kIcon32[] = {
    "32 32 16 1",
    "  c None",
    "# c #0B0D14",
    ". c #161A28",
    ", c #1E2336",
    ": c #272D44",
    "a c #4E1A35",
    "b c #6E2449",
    "c c #8E2E5E",
    "d c #AD3A74",
    "e c #C94E8C",
    "f c #DD6AA3",
    "g c #EC8DBB",
    "h c #F6B3D3",
    "o c #FFE6F2",
    "- c #3A1026",
    "= c #FFCCE3",
    "    ########################    ",
    "  ##::::::::::::::::,,,,,,,,##  ",
    " #:::::::::::::::::,,,,,,,,,,,# ",
    " #::::::::::::::::,,,,,,,,,,,,# ",
    "#::::::::::::::::,,,,===,,,,,,,#",
    "#:::::::::::::::,,===ff=,,,,,,,#",
    "#:::::::::::======-ddeee=,,,,,,#",
    "#:::::::::==hggfeeddddd-=,,,,,,#",
    "#::::::::=h--ggfeed-ccccc=,,,,,#",
    "#:::::::=h-ho-gfeedddc-cc=,,,,,#",
    "#::::::=h-hoo-ffeeeddccc-c=,,,,#",
    "#::::==hhhhgo--feeed-dcccc=,,,.#",
    "#:::=hg--ggggf-feeeddddcccc=,..#",
    "#:==hhggggggff-----------cc=...#",
    "#:=hh-g--gggf---eeeee-ddddd-=..#",
    "#:=hggg-gggg--e-eeeeee-eeeee=..#",
    "#::=ggggg-g--fee-eeeee-eeefff=.#",
    "#::=-ggggg--ffee-eeeee--fffgg=.#",
    "#::,=g-ggg-fffee--eeeee-fg===..#",
    "#:,,=g-gg-g-ffeee-eeeee===.....#",
    "#,,,,=ggggg-ffeee--e===........#",
    "#,,,,=gg-ggg-feeee==...........#",
    "#,,,,,=ggggg-ffe==,............#",
    "#,,,,,=ghhhg--f=,,.............#",
    "#,,,,,,=hhhog==,,..............#",
    "#,,,,,,=hhooo,,,...............#",
    "#,,,,,,,=h=,,,,................#",
    "#,,,,,,,==,,,,.................#",
    " #,,,,,,,,,,,.................# ",
    " #,,,,,,,,,,..................# ",
    "  ##,,,,,,,.................##  ",
    "    ########################    ",
};

const char* const kIcon16[] = {
    "16 16 16 1",       "  c None",         "# c #0B0D14",      ". c #161A28",
    ", c #1E2336",      ": c #272D44",      "a c #4E1A35",      "b c #6E2449",
    "c c #8E2E5E",      "d c #AD3A74",      "e c #C94E8C",      "f c #DD6AA3",
    "g c #EC8DBB",      "h c #F6B3D3",      "o c #FFE6F2",      "- c #3A1026",
    "= c #FFCCE3",      "  ############  ", " #:::::::,,,,,# ", "#:::::::=====,,#",
    "#::::===eddd=,,#", "#:::=hggeddc=,,#", "#:==hgffeedcc=,#", "#=hgggfeeeddd=.#",
    "#=ggggfeeeeeee=#", "#=ggggfeeeeeff=#", "#,=ggffeeeee===#", "#,=gggfee===...#",
    "#,,=hgfe=......#", "#,,=ho==.......#", "#,,==o,........#", " #,,,,........# ",
    "  ############  ",
};

constexpr IconImage kIcon[] = {{32, kIcon32}, {16, kIcon16}};

}  // namespace

std::span<const IconImage> MainIcon() {
    return kIcon;
}

}  // namespace kavelo::resources
