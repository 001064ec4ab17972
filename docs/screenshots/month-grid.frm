VERSION 1.00
' A new date control and nothing else: the popup in its default colours.
Begin Form Form1
   Begin TavoCalendar.TavoCalendarDropDown Cal1
      Left = 150
      Top = 150
      Width = 2400
      Height = 315
   End
End
