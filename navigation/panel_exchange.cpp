#include "navigation/panel_exchange.h"

#include "navigation/panel_text.h"
#include "shell/resources/resource_ids.h"

namespace kavelo::navigation {

void WritePanelFields(const ViewParams& p, PanelFields& panel) {
    panel.SetDlgItemText(IDC_SHIFT_X, FormatFixed(p.m_dShiftX));
    panel.SetDlgItemText(IDC_SHIFT_Y, FormatFixed(p.m_dShiftY));
    panel.SetDlgItemText(IDC_ANGLE_X, FormatSignedInt(AngleToInt(p.m_dAngleX)));
    panel.SetDlgItemText(IDC_ANGLE_Y, FormatSignedInt(AngleToInt(p.m_dAngleY)));
    panel.SetDlgItemText(IDC_ANGLE_Z, FormatSignedInt(AngleToInt(p.m_dAngleZ)));
    panel.SetDlgItemText(IDC_STRETCH_X, FormatFixed(p.m_dStretchX));
    panel.SetDlgItemText(IDC_STRETCH_Y, FormatFixed(p.m_dStretchY));
    panel.SetDlgItemText(IDC_EXTENT, FormatFixed(p.m_dPerspective));
}

void ReadPanelFields(PanelFields& panel, ViewParams& p) {
    // The decimal texts are all fetched before the angles; the order of the reads is the
    // panel's observable behaviour and stays as it is.
    const std::string stretchX = panel.GetDlgItemText(IDC_STRETCH_X);
    const std::string stretchY = panel.GetDlgItemText(IDC_STRETCH_Y);
    const std::string shiftX = panel.GetDlgItemText(IDC_SHIFT_X);
    const std::string shiftY = panel.GetDlgItemText(IDC_SHIFT_Y);
    const std::string extent = panel.GetDlgItemText(IDC_EXTENT);

    p.m_dShiftX = ParseDecimal(shiftX);
    p.m_dShiftY = ParseDecimal(shiftY);
    p.m_dStretchX = ParseDecimal(stretchX);
    p.m_dStretchY = ParseDecimal(stretchY);

    p.m_dAngleX = ParseSignedInt(panel.GetDlgItemText(IDC_ANGLE_X));
    p.m_dAngleY = ParseSignedInt(panel.GetDlgItemText(IDC_ANGLE_Y));
    p.m_dAngleZ = ParseSignedInt(panel.GetDlgItemText(IDC_ANGLE_Z));

    p.m_dPerspective = ParseDecimal(extent);
}

void CentreOnBounds(ViewParams& p, const BoundsRect& rc) {
    p.m_dShiftX = p.m_dShiftX - IntegerMidpoint(rc.left, rc.right);
    p.m_dShiftY = p.m_dShiftY - IntegerMidpoint(rc.bottom, rc.top);
}

}  // namespace kavelo::navigation
