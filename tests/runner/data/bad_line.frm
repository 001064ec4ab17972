VERSION 1.00
Begin Form Broken
   Begin TavoCalendar.TavoCalendarDropDown Cal9
      MonthRows = 2
      MonthColumns = = 3
   End
End
