VERSION 1.00
' The main form of the demo.
Begin Form frmMain
   Begin TavoCalendar.TavoCalendarDropDown Cal1
      Left = 120
      Top = 240
      Width = 3015
      Height = 330
      Enabled = True
      BeginProperty Font
         Name = "Arial"
         Size = 9.75
         Charset = 0
         Weight = 700
         Underline = False
         Italic = False
         Strikethrough = False
      EndProperty
      CalendarTitleBackColor = 8421376&
      CalendarMonthBackColor = -2147483643&
      CustomFormat = "dd.MM.yyyy \"Uhr\" HH:mm"
      Format = 3&
      MinDate = #1601-01-01#
      Picture = Picture "R0lGODlhCAAIAIAAAMDAwAAAACH5BAEAAAAALAAAAAAIAAgAAAILhI9pwX0dElO0qgIAOw=="
      Value = #2000-08-21 14:30:00#
      PictureType = 0
      MonthRows = 2
      CalendarMonthBackColor(2) = 255&
   End
   Begin TavoSSAddOn.TavoSSTreeController Ctl1
      Left = 120
      Top = 720
      Width = 1080
      Height = 225
      mySSTree = Control Tree1
      ToolTipTextPlus = ""
      ToolTipTextMinus = "Aktuellen Zweig schließen"
   End
   Begin SSActiveTreeView.SSTree Tree1
      Left = 120
      Top = 1080
      Width = 3015
      Height = 2400
   End
End
