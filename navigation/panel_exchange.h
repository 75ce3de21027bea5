// The exchange of the view parameters with the control panel's fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "navigation/view_params.h"

namespace kavelo::navigation {

// Text access to the panel's fields by control identifier.
class PanelFields {
  public:
    virtual ~PanelFields() = default;
    virtual std::string GetDlgItemText(unsigned id) = 0;
    virtual void SetDlgItemText(unsigned id, std::string_view text) = 0;
};

// The box that Centre centres on (m_rcBounds), in this order.
struct BoundsRect {
    std::int32_t left = 0, right = 0, top = 0, bottom = 0;
};

// Writes the eight shown parameters, one field each: shifts, the three angles as integers, the
// X and Y stretches and the perspective factor.
void WritePanelFields(const ViewParams& p, PanelFields& panel);

// Takes the eight fields into the parameters, each as it converts; nothing is validated.
// Stretch Z and the steps have no field and keep their values.
void ReadPanelFields(PanelFields& panel, ViewParams& p);

// Moves the scene by the integer midpoint of the box.
void CentreOnBounds(ViewParams& p, const BoundsRect& rc);

}  // namespace kavelo::navigation
