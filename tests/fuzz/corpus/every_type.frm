VERSION 1.00
Begin Form frmMain
   Begin TavoCalendar.TavoCalendarDropDown Cal1
      Left = 120
      Top = 240.5
      Width = 3015
      Height = 0.1
      Enabled = False
      BeginProperty Font
         Name = "Courier \"New\""
         Size = 9.75
         Charset = 0
         Weight = 700
         Underline = False
         Italic = True
         Strikethrough = False
      EndProperty
      CalendarMonthBackColor = -2147483643&
      CalendarMonthBackColor(2) = 255&
      MonthRows = -32768
      MonthColumns = 32767
      Ratio = 0.1
      Whole = 3.0
      Huge = -1e+300
      MinDate = #1601-01-01#
      Early = #0100-01-01 06:00:01#
      Before = #1899-12-29 06:00:00#
      Value = #2000-08-21 14:30:00#
      MaxDate = #9999-12-31 23:59:59#
      CustomFormat = "dd.MM.yyyy 'Uhr' \"q\" \\ \n\r\t\x01 äöüß € 📅"
      Stray = "\xFF\xC3(\xE2\x82 end"
      ToolTip = ""
      Tag = Empty
      Picture = Picture "R0lGODlhCAAIAIAAAMDAwAAAACH5BAEAAAAALAAAAAAIAAgAAAILhI9pwX0dElO0qgIAOw=="
      NoPicture = Nothing
   End
   Begin TavoSSAddOn.TavoSSTreeController Ctl1
      Left = 0
      Top = 0
      Width = 1080
      Height = 225
      mySSTree = Control Tree1
      ToolTipTextMinus = "Aktuelles Element zuklappen – weiß"
   End
   Begin SSActiveTreeView.SSTree Tree1
      Left = -15
      Top = 0
      Width = 1e+07
      Height = 0.00325
   End
End
