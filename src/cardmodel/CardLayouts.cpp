#include "CardLayouts.h"

#include <algorithm>

using namespace Qt::StringLiterals;

int CardLayout::highestBox() const
{
    int highest = -1;
    for (const LayoutRow &row : rows)
        highest = std::max(highest, row.box);
    return highest;
}

const LayoutRow *CardLayout::rowForBox(int box) const
{
    for (const LayoutRow &row : rows) {
        if (row.box == box)
            return &row;
    }
    return nullptr;
}

namespace CardLayouts {

const CardLayout &canada()
{
    static const CardLayout layout{
        u"Canada"_s, u"Canada.gif"_s, 80, 135, 3395, 6240, 0x00C0C000,
        {
        {0, 0, 450, 650, 2745, 90, true, u"Address"_s,
         u"Address - Number, street, town/city"_s,
         QString()},
        {1, 12, 450, 835, 1035, 90, true, u"Province"_s,
         u"Province or state"_s,
         QString()},
        {2, 10, 1710, 835, 855, 90, true, u"Country"_s,
         u"Country"_s,
         QString()},
        {3, 13, 2850, 835, 465, 90, true, u"PostalCode"_s,
         u"Postal/Zip Code"_s,
         QString()},
        {4, 4, 450, 1030, 2730, 90, true, u"Name"_s,
         u"Last Name, first name, and initials"_s,
         QString()},
        {5, 5, 810, 1210, 255, 90, true, u"BirthYear"_s,
         u"Date of Birth:   YEAR (ie 1959)"_s,
         QString()},
        {6, 6, 1170, 1210, 225, 90, true, u"BirthMonth"_s,
         u"Date of Birth:   MONTH (ie 06)"_s,
         QString()},
        {7, 8, 1440, 1210, 195, 90, true, u"BirthDay"_s,
         u"Date of Birth:   DAY (ie 03)"_s,
         QString()},
        {8, 14, 2110, 1130, 105, 90, true, u"CitizenCanadian"_s,
         u"Citizenship > CANADIAN  (if other, specify below.)"_s,
         QString()},
        {9, 9, 1860, 1210, 1125, 90, true, u"CitizenshipSpec"_s,
         u"Citizenship: specify"_s,
         QString()},
        {10, 2, 740, 2890, 765, 90, true, u"Airline"_s,
         u"Arriving by:  Airline "_s,
         QString()},
        {11, 22, 2330, 2850, 90, 90, true, u"TripStudy"_s,
         u"Purpose of trip:  Study"_s,
         QString()},
        {12, 23, 2330, 2950, 90, 90, true, u"TripPersonal"_s,
         u"Purpose of trip:   Personal"_s,
         QString()},
        {13, 24, 2330, 3038, 90, 90, true, u"TripBusiness"_s,
         u"Purpose of trip:  Business"_s,
         QString()},
        {14, 19, 3315, 2850, 90, 90, true, u"FromUSOnly"_s,
         u"Arriving from:  U.S. only"_s,
         QString()},
        {15, 20, 3315, 2950, 90, 90, true, u"FromOtherDirect"_s,
         u"Arriving from:  Other country direct."_s,
         QString()},
        {16, 21, 3315, 3038, 90, 90, true, u"FromViaUS"_s,
         u"Arriving from:  Other country via the U.S."_s,
         QString()},
        {17, 25, 3130, 3310, 90, 90, true, u"FirearmsYes"_s,
         u"I am/we are bringing into Canada: Firearms or other weapons:  YES"_s,
         QString()},
        {18, 3, 3315, 3310, 90, 90, true, u"FirearmsNo"_s,
         u"I am/we are bringing into Canada: Firearms or other weapons:  NO"_s,
         QString()},
        {19, 26, 3130, 3460, 90, 90, true, u"CommercialYes"_s,
         u"I am/we are bringing into Canada: Goods related to my/our profession and/or commercial goods, whether or not for resale (e.g., samples, tools, equipment):   YES"_s,
         QString()},
        {20, 7, 3315, 3460, 90, 90, true, u"CommercialNo"_s,
         u"I am/we are bringing into Canada: Goods related to my/our profession and/or commercial goods, whether or not for resale (e.g., samples, tools, equipment):   NO"_s,
         QString()},
        {21, 27, 3130, 3640, 90, 90, true, u"AnimalsYes"_s,
         u"I am/we are bringing into Canada:  Animals, birds, insects, plant parts, soil fruits, vegetables, meats, eggs, dairy products, living organisms, vaccines:   YES"_s,
         QString()},
        {22, 15, 3315, 3640, 90, 90, true, u"AnimalsNo"_s,
         u"I am/we are bringing into Canada:  Animals, birds, insects, plant parts, soil fruits, vegetables, meats, eggs, dairy products, living organisms, vaccines:    NO"_s,
         QString()},
        {23, 29, 3130, 3795, 90, 90, true, u"EndangeredYes"_s,
         u"Articles made or derived from endangered speicies:  YES"_s,
         QString()},
        {24, 16, 3315, 3795, 90, 90, true, u"EndangeredNo"_s,
         u"Articles made or derived from endangered speicies:  NO"_s,
         QString()},
        {25, 28, 3130, 3910, 90, 90, true, u"ShippedYes"_s,
         u"I/we have shipped goods which are not accompanying me/us: YES"_s,
         QString()},
        {26, 17, 3315, 3910, 90, 90, true, u"ShippedNo"_s,
         u"I/we have shipped goods which are not accompanying me/us: NO"_s,
         QString()},
        {27, 30, 3130, 4025, 90, 90, true, u"FarmYes"_s,
         u"I/we will be visiting a farm in Canada within the next 14 days:  YES"_s,
         QString()},
        {28, 18, 3315, 4025, 90, 90, true, u"FarmNo"_s,
         u"I/we will be visiting a farm in Canada within the next 14 days:  NO"_s,
         QString()},
        }};
    return layout;
}

const CardLayout &us()
{
    static const CardLayout layout{
        u"US"_s, u"US.gif"_s, 195, 180, 3120, 6150, 0x00FFFFFF,
        {
        {0, 4, 510, 1530, 1860, 90, true, u"FamilyName"_s,
         u"Family Name"_s,
         QString()},
        {1, 1, 510, 1770, 1155, 90, true, u"GivenName"_s,
         u"First (Given) Name"_s,
         QString()},
        {2, 7, 1950, 1770, 195, 90, true, u"MiddleInitials"_s,
         u"Middle Intial(s)"_s,
         QString()},
        {3, 8, 2430, 1770, 195, 90, true, u"BirthDay"_s,
         u"Birth Date: DAY"_s,
         QString()},
        {4, 6, 2670, 1770, 225, 90, true, u"BirthMonth"_s,
         u"Birth Date: MONTH"_s,
         QString()},
        {5, 5, 2970, 1770, 255, 90, true, u"BirthYear"_s,
         u"Birth Date: YEAR"_s,
         QString()},
        {6, 2, 540, 2010, 1485, 90, true, u"FlightOrVessel"_s,
         u"Airline/Flight No. or Vessel Name of Vehicle License No."_s,
         QString()},
        {7, 13, 2940, 1980, 195, 90, true, u"FamilyMembers"_s,
         u"Number of Family Members Travelling With You"_s,
         QString()},
        {8, 9, 540, 2250, 1125, 90, true, u"Citizenship"_s,
         u"Country of Citizenship"_s,
         QString()},
        {9, 10, 1890, 2250, 1155, 90, true, u"CountryResidence"_s,
         u"Country of Residence"_s,
         QString()},
        {10, 0, 540, 2490, 1995, 90, true, u"USAddress"_s,
         u"U.S. Address (Street Number/Hotel/Mailing Address in U.S.)"_s,
         QString()},
        {11, 11, 540, 2730, 1155, 90, true, u"USCity"_s,
         u"U.S. Address (City)"_s,
         QString()},
        {12, 12, 1860, 2730, 1155, 90, true, u"USState"_s,
         u"U.S. Address (State)"_s,
         QString()},
        {13, 14, 600, 2970, 975, 90, true, u"Visited1"_s,
         u"Countries visited on this trip prior to U.S. arrival"_s,
         QString()},
        {14, 15, 2040, 2970, 975, 90, true, u"Visited2"_s,
         u"Countries visited on this trip prior to U.S. arrival"_s,
         QString()},
        {15, 16, 600, 3210, 975, 90, true, u"Visited3"_s,
         u"Countries visited on this trip prior to U.S. arrival"_s,
         QString()},
        {16, 17, 2040, 3210, 975, 90, true, u"Visited4"_s,
         u"Countries visited on this trip prior to U.S. arrival"_s,
         QString()},
        {17, 18, 2100, 3390, 90, 90, true, u"TripBusiness"_s,
         u"Purpose of my(our) trip is or was: (Check one or both boxes, if applicable):  BUSINESS"_s,
         QString()},
        {18, 19, 2820, 3390, 90, 90, true, u"TripPersonal"_s,
         u"Purpose of my(our) trip is or was: (Check one or both boxes, if applicable):  PERSONAL"_s,
         QString()},
        {19, 20, 2100, 3660, 90, 90, true, u"FoodYes"_s,
         u"I am (We are) bringing fruits, plants, meats, food, soil, birds, snails, other live animals, wildlife products, farm products; or, have been on a farm or ranch outside the U.S.:    YES"_s,
         QString()},
        {20, 21, 2820, 3660, 90, 90, true, u"FoodNo"_s,
         u"I am (We are) bringing fruits, plants, meats, food, soil, birds, snails, other live animals, wildlife products, farm products; or, have been on a farm or ranch outside the U.S.:    NO"_s,
         QString()},
        {21, 22, 2100, 3960, 90, 90, true, u"CurrencyYes"_s,
         u"I am (We are) carrying currency or monetary instruments over $10,000 U.S., or foreign equivalent:     YES"_s,
         QString()},
        {22, 23, 2820, 3960, 90, 90, true, u"CurrencyNo"_s,
         u"I am (We are) carrying currency or monetary instruments over $10,000 U.S., or foreign equivalent:     NO"_s,
         QString()},
        {23, 24, 2100, 4170, 90, 90, true, u"MerchandiseYes"_s,
         u"I have (We have) commercial merchandise, U.S. or foreign: (Check one box only):     YES"_s,
         QString()},
        {24, 25, 2820, 4170, 90, 90, true, u"MerchandiseNo"_s,
         u"I have (We have) commercial merchandise, U.S. or foreign: (Check one box only):     NO"_s,
         QString()},
        {25, 26, 2440, 4440, 585, 90, true, u"TotalValue"_s,
         u"The total value of all goods, including commercial merchandise, I/we purchased or acquired abroad and am/are bringing to the U.S. is: "_s,
         QString()},
        }};
    return layout;
}

const CardLayout &canadaBlue()
{
    static const CardLayout layout{
        u"Canada_Blue"_s, u"Canada_Blue.gif"_s, 180, 240, 3255, 6090, 0x00E0E0E0,
        {
        {0, 0, 580, 640, 2685, 90, true, u"Name"_s,
         u"Last name, first name, and initials"_s,
         u"Pemberford"_s},
        {1, 5, 870, 790, 255, 90, true, u"BirthYear"_s,
         u"Date of Birth:   YEAR (ie 1959)"_s,
         u"1959"_s},
        {2, 6, 1290, 790, 165, 90, true, u"BirthMonth"_s,
         u"Date of Birth:   MONTH (ie 06)"_s,
         u"03"_s},
        {3, 8, 1530, 790, 165, 90, true, u"BirthDay"_s,
         u"Date of Birth:   DAY (ie 03)"_s,
         u"06"_s},
        {4, 9, 2310, 790, 945, 90, true, u"Citizenship"_s,
         u"Citizenship"_s,
         u"Canadian"_s},
        {5, 4, 390, 2480, 1710, 90, true, u"HomeAddress"_s,
         u"Home address - Number, street"_s,
         u"317 Quarry Ln."_s},
        {6, 31, 2310, 2480, 1005, 90, true, u"TownCity"_s,
         u"Town/city"_s,
         u"Ashgrove"_s},
        {7, 12, 390, 2690, 1035, 90, true, u"Province"_s,
         u"Province or state"_s,
         u"NY"_s},
        {8, 10, 1620, 2690, 1035, 90, true, u"Country"_s,
         u"Country"_s,
         u"USA"_s},
        {9, 13, 2790, 2690, 525, 90, true, u"PostalCode"_s,
         u"Postal/Zip Code"_s,
         u"13579"_s},
        {10, 2, 580, 2950, 765, 90, true, u"Airline"_s,
         u"Arriving by:  Airline "_s,
         u"Canadian Airlines"_s},
        {11, 22, 2130, 2870, 90, 90, true, u"TripStudy"_s,
         u"Purpose of trip:  Study"_s,
         u"x"_s},
        {12, 23, 2130, 3000, 90, 90, true, u"TripPersonal"_s,
         u"Purpose of trip:   Personal"_s,
         u"x"_s},
        {13, 24, 2130, 3100, 90, 90, true, u"TripBusiness"_s,
         u"Purpose of trip:  Business"_s,
         u"x"_s},
        {14, 19, 3255, 2870, 90, 90, true, u"FromUSOnly"_s,
         u"Arriving from:  U.S. only"_s,
         u"x"_s},
        {15, 20, 3255, 3000, 90, 90, true, u"FromOtherDirect"_s,
         u"Arriving from:  Other country direct."_s,
         u"x"_s},
        {16, 21, 3255, 3100, 90, 90, true, u"FromViaUS"_s,
         u"Arriving from:  Other country via the U.S."_s,
         u"x"_s},
        {17, 25, 3060, 3390, 90, 90, true, u"FirearmsYes"_s,
         u"I am/we are bringing into Canada: Firearms or other weapons:  YES"_s,
         u"x"_s},
        {18, 3, 3255, 3390, 90, 90, true, u"FirearmsNo"_s,
         u"I am/we are bringing into Canada: Firearms or other weapons:  NO"_s,
         u"x"_s},
        {19, 26, 3060, 3520, 90, 90, true, u"CommercialYes"_s,
         u"I am/we are bringing into Canada: Goods related to my/our profession and/or commercial goods, whether or not for resale (e.g., samples, tools, equipment):   YES"_s,
         u"x"_s},
        {20, 7, 3255, 3520, 90, 90, true, u"CommercialNo"_s,
         u"I am/we are bringing into Canada: Goods related to my/our profession and/or commercial goods, whether or not for resale (e.g., samples, tools, equipment):   NO"_s,
         u"x"_s},
        {21, 27, 3060, 3690, 90, 90, true, u"AnimalsYes"_s,
         u"I am/we are bringing into Canada:  Animals, birds, insects, plant parts, soil, fruits, vegetables, meats, eggs, dairy products, living organisms, vaccines:   YES"_s,
         u"x"_s},
        {22, 15, 3255, 3690, 90, 90, true, u"AnimalsNo"_s,
         u"I am/we are bringing into Canada:  Animals, birds, insects, plant parts, soil, fruits, vegetables, meats, eggs, dairy products, living organisms, vaccines:    NO"_s,
         u"x"_s},
        {23, 29, 3060, 3830, 90, 90, true, u"EndangeredYes"_s,
         u"Articles made or derived from endangered speicies:  YES"_s,
         u"x"_s},
        {24, 16, 3255, 3830, 90, 90, true, u"EndangeredNo"_s,
         u"Articles made or derived from endangered speicies:  NO"_s,
         u"x"_s},
        {25, 28, 3060, 3980, 90, 90, true, u"ShippedYes"_s,
         u"I/we have shipped goods which are not accompanying me/us: YES"_s,
         u"x"_s},
        {26, 17, 3255, 3980, 90, 90, true, u"ShippedNo"_s,
         u"I/we have shipped goods which are not accompanying me/us: NO"_s,
         u"x"_s},
        {27, 30, 3060, 4090, 90, 90, true, u"FarmYes"_s,
         u"I/we will be visiting a farm in Canada within the next 14 days:  YES"_s,
         u"x"_s},
        {28, 18, 3255, 4090, 90, 90, true, u"FarmNo"_s,
         u"I/we will be visiting a farm in Canada within the next 14 days:  NO"_s,
         u"x"_s},
        {29, 14, 2110, 6510, 105, 90, false, u"CitizenCanadian"_s,
         u"Citizenship > CANADIAN  (if other, specify below.)"_s,
         QString()},
        }};
    return layout;
}

std::vector<const CardLayout *> all()
{
    return {&canada(), &us(), &canadaBlue()};
}

const CardLayout *named(const QString &name)
{
    for (const CardLayout *layout : all()) {
        if (layout->name == name)
            return layout;
    }
    return nullptr;
}

} // namespace CardLayouts
